// The whole private-message handler (what EventFriendMsg runs) over arbitrary
// texts, on a real shop: a database with users, card keys, products and
// orders, and a settings file with every switch on. Every input starts from
// the same database. Host calls go nowhere (no host library is loaded).
// Input: one byte for the message type (0: 1, 1: 2002, else the byte), then
// sender wxid NUL nickname NUL message NUL message id.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "boundary/config_dir.h"
#include "chat/dispatcher.h"
#include "fuzz_input.h"
#include "storage/database.h"
#include "storage/sqlite_db.h"

namespace {

namespace fs = std::filesystem;

fs::path shopDir;

const char* const kShop[] = {
    "INSERT INTO yhxx(wxid,name,jf,yqm) VALUES('wxid_u1','Alice','100','AA01')",
    "INSERT INTO yhxx(wxid,name,jf,yqm) VALUES('wxid_u2','Bob','12.5','BB01')",
    "INSERT INTO yhxx(wxid,name,jf,yqm) VALUES('wxid_u3','Max','2147483647','CC01')",
    "INSERT INTO yhxx(wxid,name,jf,yqm) VALUES('wxid_u4','Abc','abc','')",
    "INSERT INTO yhxx(wxid,name,jf) VALUES('wxid_u1','Alice again','5')",
    "INSERT INTO kmxx(km,mr,zt) VALUES('TOVUaaaa1111bbbb','100','未使用')",
    "INSERT INTO kmxx(km,mr,zt,wxid,name) VALUES('TOVUused00000000','50','已使用','wxid_u1','Alice')",
    "INSERT INTO kmxx(km,mr,zt) VALUES('TOVUtext','面额','未使用')",
    "INSERT INTO kmxx(km,mr,zt) VALUES('TOVUbig','2147483647','未使用')",
    "INSERT INTO kmxx(km,mr,zt) VALUES('TOVU''quote','１０','未使用')",
    "INSERT INTO spxx VALUES('1','名称A【使用积分】','10','pages/boost','code','已完成','已失败','code:',',','wxid_f','开启')",
    "INSERT INTO spxx VALUES('2','名称B','12.5','pages/boost/half','code','已完成','已失败','code:',',','wxid_f','开启')",
    "INSERT INTO spxx VALUES('3','名称C','１０','half','inv','成功#引号','失败','码#引号','#引号','wxid_g','开启')",
    "INSERT INTO spxx VALUES('4','名称D','-5','','','','','','','','开启')",
    "INSERT INTO spxx VALUES('5','名称E','1','pages/off','code','ok','bad','[',']','wxid_f','关闭')",
    "INSERT INTO 订单列表 VALUES('wxid_u1','Alice','名称A','10','AA01','进行中','2024年3月5日')",
    "INSERT INTO 订单列表 VALUES('wxid_u2','Bob','名称B','12.5','BB01','已失败','2024年3月5日')",
    "INSERT INTO 订单列表 VALUES('wxid_u3','Max','名称C','１０','CC01','已完成','2024年3月5日')",
};

const char kSettings[] =
    "[配置]\r\n管理员id=wxid_admin\r\n积分比例=100\r\n发卡地址=http://shop\r\n拉群关键词=进群\r\n拉群ID=group1\r\n"
    "自动回复_添加好友=hi【换行】there\r\n自动回复_帮助=help\r\n自动回复_充值=buy at 【发卡地址】\r\n"
    "自动回复_订单开始=【邀请码】【订单名称】【使用积分】【剩余积分】\r\n自动回复_订单成功=done 【邀请码】\r\n"
    "自动回复_订单失败=fail 【邀请码】\r\n自动同意好友=真\r\n自动收款=真\r\n关键词拉群=真\r\n";

void RemoveShop() {
  quorvel::PluginDb().Close();
  std::error_code ec;
  fs::remove_all(shopDir, ec);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  using namespace quorvel;
  // Commits sync the file; in memory they cost nothing.
  fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
  std::string pattern = (base / "quorvel-fuzz.XXXXXX").string();
  if (!mkdtemp(pattern.data())) std::abort();
  shopDir = pattern;
  std::atexit(RemoveShop);
  ConfigDir() = shopDir.string() + "/";
  OpenDatabase();
  for (const char* statement : kShop) {
    if (!PluginDb().Execute(statement)) std::abort();
  }
  PluginDb().Close();
  fs::copy_file(shopDir / "tovu.db", shopDir / "pristine.db");
  std::ofstream(shopDir / "cfg.ini", std::ios::binary) << kSettings;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quorvel;
  if (size == 0) return 0;
  int type = data[0] == 0 ? 1 : data[0] == 1 ? kMiniProgramMessageType : data[0];
  std::vector<std::string> in = fuzz::SplitInput(data + 1, size - 1, 4);
  PluginDb().Close();
  fs::copy_file(shopDir / "pristine.db", shopDir / "tovu.db", fs::copy_options::overwrite_existing);
  OpenDatabase();
  DispatchPrivateMessage({"wxid_bot", type, in[0], in[1], in[2], in[3]});
  return 0;
}
