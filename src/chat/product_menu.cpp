#include "chat/product_menu.h"

#include <mutex>

#include "storage/database.h"
#include "storage/sqlite_dataset.h"
#include "storage/sqlite_db.h"

namespace quorvel {

std::string ProductMenuText() {
  std::lock_guard<std::recursive_mutex> lock(PluginLock());
  std::string menu;
  SqliteDataset products;
  if (!products.Open("SELECT * FROM spxx WHERE zt='开启'", PluginDb()) || !products.First()) return menu;
  while (products.Next()) {
    std::string id, name, price;
    products.ReadField("spid", id);
    products.ReadField("spmc", name);
    products.ReadField("spjg", price);
    menu += id + "：" + name + " [" + price + "积分]\r";
  }
  return menu;
}

}  // namespace quorvel
