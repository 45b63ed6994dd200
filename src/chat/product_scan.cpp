#include "chat/product_scan.h"

#include <vector>

#include "chat/page_path.h"
#include "chat/text_rules.h"
#include "host/host_api.h"
#include "storage/database.h"
#include "storage/sqlite_dataset.h"

namespace quorvel {
namespace {

std::vector<ProductRow> EnabledProducts() {
  std::vector<ProductRow> products;
  SqliteDataset ds;
  if (!ds.Open("SELECT * FROM spxx WHERE zt='开启'", PluginDb())) return products;
  ds.First();
  while (ds.Next()) {
    ProductRow p;
    ds.ReadField("spid", p.spid);
    ds.ReadField("spmc", p.spmc);
    ds.ReadField("spjg", p.spjg);
    ds.ReadField("xcxbs", p.xcxbs);
    ds.ReadField("yqmcs", p.yqmcs);
    ds.ReadField("cgbs", p.cgbs);
    ds.ReadField("sbbs", p.sbbs);
    ds.ReadField("yqmz", p.yqmz);
    ds.ReadField("yqmy", p.yqmy);
    ds.ReadField("wxid", p.wxid);
    ds.ReadField("zt", p.zt);
    products.push_back(std::move(p));
  }
  return products;
}

}  // namespace

void RunProductScan(const PrivateMessage& m, const Settings& settings) {
  const std::string pagePath = MiniProgramPagePath(m.text);
  for (const ProductRow& product : EnabledProducts()) {
    const std::string code = getUrlParam(pagePath, product.yqmcs);
    Host().AppendLogs("邀请码" + code, "小程序分析值" + pagePath + "小程序标识" + product.xcxbs, true);
    if (Contains(pagePath, product.xcxbs) && !code.empty()) {
      PlaceOrder(m, product, code, settings);
      return;
    }
    if (Contains(m.text, product.cgbs) && m.senderWxid == product.wxid) {
      FinishOrder(m, product, settings);
      return;
    }
    if (Contains(m.text, product.sbbs) && m.senderWxid == product.wxid) {
      FailOrder(m, product, settings);
      return;
    }
  }
}

}  // namespace quorvel
