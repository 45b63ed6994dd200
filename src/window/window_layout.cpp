#include "window/window_layout.h"

namespace quorvel {
namespace {

using K = ControlKind;

ControlSpec Control(std::string name, ControlKind kind, int page, std::string parent, std::string caption, int x,
                    int y, int width = 0, int height = 0) {
  ControlSpec c;
  c.name = std::move(name);
  c.kind = kind;
  c.page = page;
  c.parent = std::move(parent);
  c.caption = std::move(caption);
  c.x = x;
  c.y = y;
  c.width = width;
  c.height = height;
  return c;
}

ControlSpec ListControl(std::string name, int page, int x, int y, int width, int height,
                        std::vector<ListColumnSpec> columns) {
  ControlSpec c = Control(std::move(name), K::List, page, "", "", x, y, width, height);
  c.columns = std::move(columns);
  return c;
}

ControlSpec Combo(std::string name, int page, std::string parent, int x, int y, int width, int height,
                  std::vector<std::string> items) {
  ControlSpec c = Control(std::move(name), K::ComboBox, page, std::move(parent), "", x, y, width, height);
  c.items = std::move(items);
  c.selected = 0;
  return c;
}

std::vector<ControlSpec> SettingsPage() {
  const std::string g = "分组框5";
  return {
      Control(g, K::GroupBox, 0, "", "自动回复设置", 12, 34, 640, 312),
      Control("透明标签23", K::Label, 0, g, "添加好友回复：", 13, 23),
      Control("编辑框_添加好友回复", K::MultiLineEdit, 0, g, "", 8, 42, 200, 115),
      Control("透明标签20", K::Label, 0, g, "帮助回复：", 222, 23),
      Control("编辑框_帮助回复", K::MultiLineEdit, 0, g, "", 217, 42, 200, 115),
      Control("透明标签19", K::Label, 0, g, "充值回复：", 430, 23),
      Control("编辑框_充值回复", K::MultiLineEdit, 0, g, "", 426, 42, 200, 115),
      Control("透明标签24", K::Label, 0, g, "订单开始回复：", 13, 168),
      Control("编辑框_订单开始回复", K::MultiLineEdit, 0, g, "", 8, 187, 200, 115),
      Control("透明标签26", K::Label, 0, g, "订单成功回复：", 222, 168),
      Control("编辑框_订单成功回复", K::MultiLineEdit, 0, g, "", 217, 187, 200, 115),
      Control("透明标签25", K::Label, 0, g, "订单失败回复：", 431, 168),
      Control("编辑框_订单失败回复", K::MultiLineEdit, 0, g, "", 426, 187, 200, 115),
      Control("透明标签14", K::Label, 0, "", "积分比例：1元 =", 665, 51),
      Control("编辑框_积分比例", K::Edit, 0, "", "", 761, 48, 56, 25),
      Control("透明标签15", K::Label, 0, "", "积分", 828, 51),
      Control("透明标签16", K::Label, 0, "", "发卡地址：", 665, 89),
      Control("编辑框_发卡地址", K::Edit, 0, "", "", 721, 86, 179, 25),
      Control("透明标签12", K::Label, 0, "", "管理员ID：", 665, 124),
      Control("编辑框_管理员id", K::Edit, 0, "", "", 721, 121, 179, 25),
      Control("透明标签27", K::Label, 0, "", "拉群关键词：", 665, 160),
      Control("编辑框_拉群关键词", K::Edit, 0, "", "", 734, 155, 164, 25),
      Control("透明标签28", K::Label, 0, "", "指定拉群ID：", 665, 195),
      Control("编辑框_拉群ID", K::Edit, 0, "", "", 734, 192, 164, 25),
      Control("透明标签29", K::Label, 0, "", "发送“本群ID”即可获取拉群ID", 706, 225),
      Control("选择框_自动收款", K::CheckBox, 0, "", "是否自动收款", 681, 254, 95, 20),
      Control("选择框_同意好友", K::CheckBox, 0, "", "自动同意好友", 787, 254, 95, 20),
      Control("选择框_关键词拉群", K::CheckBox, 0, "", "关键词拉群", 681, 282, 95, 20),
      Control("按钮_载入默认配置", K::Button, 0, "", "载入默认配置", 680, 312, 80, 28),
      Control("按钮_保存配置", K::Button, 0, "", "保存配置", 797, 312, 80, 28),
      Control("透明标签30", K::Label, 0, "", "", 24, 373, 620, 16),
  };
}

std::vector<ControlSpec> UsersPage() {
  return {
      ListControl("超级列表框_用户", 1, 4, 27, 914, 395,
                  {{"序号", 50}, {"微信id", 180}, {"微信昵称", 130}, {"用户积分", 80}, {"用户状态", 80}, {"备注", 130}}),
  };
}

std::vector<ControlSpec> ProductsPage() {
  const std::string g = "分组框3";
  return {
      ListControl("超级列表框_商品", 2, 4, 27, 914, 315,
                  {{"序号", 50},
                   {"商品id", 50},
                   {"商品名称", 80},
                   {"商品价格", 60},
                   {"小程序标识", 100},
                   {"邀请码参数", 100},
                   {"成功标识", 70},
                   {"失败标识", 70},
                   {"邀请码左", 70},
                   {"邀请码右", 70},
                   {"对接wxid", 120},
                   {"状态", 60}}),
      // Sits in the strip beside the page captions.
      Control("透明标签18", K::Label, 2, "",
              "商品ID不要重复       商品ID不要重复           商品ID不要重复", 412, 1, 391, 16),
      Control(g, K::GroupBox, 2, "", "商品设置", 4, 344, 914, 80),
      Control("透明标签3", K::Label, 2, g, "商 品 ID：", 28, 20),
      Control("编辑框_商品id", K::Edit, 2, g, "", 83, 18, 90, 22),
      Control("透明标签4", K::Label, 2, g, "商品名称：", 177, 20),
      Control("编辑框_商品名称", K::Edit, 2, g, "", 231, 18, 90, 22),
      Control("透明标签5", K::Label, 2, g, "商品价格：", 325, 20),
      Control("编辑框_商品价格", K::Edit, 2, g, "", 379, 18, 90, 22),
      Control("透明标签6", K::Label, 2, g, "程序标识：", 472, 20),
      Control("编辑框_程序标识", K::Edit, 2, g, "", 529, 19, 90, 22),
      Control("透明标签13", K::Label, 2, g, "邀请码参数：", 623, 20),
      Control("编辑框_邀请码参数", K::Edit, 2, g, "", 691, 19, 125, 22),
      Control("透明标签7", K::Label, 2, g, "成功标识：", 28, 54),
      Control("编辑框_成功标识", K::Edit, 2, g, "", 83, 51, 90, 22),
      Control("透明标签17", K::Label, 2, g, "失败标识：", 177, 54),
      Control("编辑框_失败标识", K::Edit, 2, g, "", 231, 51, 90, 22),
      Control("透明标签8", K::Label, 2, g, "邀请码左：", 325, 54),
      Control("编辑框_邀请码左", K::Edit, 2, g, "", 379, 51, 90, 22),
      Control("透明标签9", K::Label, 2, g, "邀请码右：", 472, 54),
      Control("编辑框_邀请码右", K::Edit, 2, g, "", 529, 51, 90, 22),
      Control("透明标签10", K::Label, 2, g, "对接wxid：", 623, 54),
      Control("编辑框_对接wxid", K::Edit, 2, g, "", 680, 51, 136, 22),
      Control("按钮_添加商品", K::Button, 2, g, "添加商品", 832, 33, 76, 28),
  };
}

std::vector<ControlSpec> CardKeysPage() {
  const std::string gen = "分组框1";
  const std::string query = "分组框2";
  return {
      ListControl("超级列表框_卡密", 3, 4, 27, 914, 315,
                  {{"序号", 50}, {"卡密", 150}, {"面额", 80}, {"状态", 60}, {"微信id", 180}, {"微信昵称", 130}}),
      Control(gen, K::GroupBox, 3, "", "生成卡密", 4, 344, 456, 80),
      Control("透明标签21", K::Label, 3, gen, "面额：", 107, 36),
      Control("编辑框_卡密面额", K::Edit, 3, gen, "100", 141, 34, 40, 22),
      Control("透明标签22", K::Label, 3, gen, "数量：", 189, 36),
      Control("编辑框_生成卡密数量", K::Edit, 3, gen, "1", 222, 34, 40, 22),
      Control("按钮_生成卡密", K::Button, 3, gen, "生成卡密", 282, 30, 60, 28),
      Control(query, K::GroupBox, 3, "", "查询卡密", 468, 344, 450, 80),
      Control("透明标签1", K::Label, 3, query, "条件：", 90, 33),
      Combo("组合框_卡密状态", 3, query, 123, 31, 63, 22, {"全部", "已使用", "未使用"}),
      Control("透明标签2", K::Label, 3, query, "面额：", 190, 33),
      Control("编辑框_查询面额", K::Edit, 3, query, "0", 222, 31, 40, 22),
      Control("按钮_查询卡密", K::Button, 3, query, "查询卡密", 284, 27, 60, 28),
      Control("透明标签11", K::Label, 3, query, "如需查询所有卡密，面额填“0”", 128, 62),
  };
}

std::vector<ControlSpec> OrdersPage() {
  return {
      ListControl("超级列表框_订单", 4, 4, 27, 914, 315,
                  {{"序号", 50},
                   {"微信id", 150},
                   {"微信昵称", 110},
                   {"订单名称", 100},
                   {"单价", 80},
                   {"邀请码", 130},
                   {"订单状态", 80},
                   {"订单创建时间", 190}}),
      Control("透明标签31", K::Label, 4, "", "订单状态下拉选择", 719, 351),
      Combo("组合框_订单状态", 4, "", 828, 349, 88, 20, {"全部订单", "进行中订单", "已完成订单", "已失败订单"}),
  };
}

WindowLayout BuildLayout() {
  WindowLayout w;
  w.title = "tovu转单插件 V1.0";
  w.x = 50;
  w.y = 50;
  w.width = 935;
  w.height = 471;
  w.tabName = "高级选择夹2";
  w.tabX = 4;
  w.tabY = 6;
  w.tabWidth = 922;
  w.tabHeight = 428;
  w.pageCaptions = {"基础配置", "用户信息", "商品信息", "卡密信息", "订单列表"};
  for (auto page : {SettingsPage(), UsersPage(), ProductsPage(), CardKeysPage(), OrdersPage()})
    w.controls.insert(w.controls.end(), page.begin(), page.end());
  w.menus = {
      {"用户菜单", "超级列表框_用户", {{"刷新用户", {}}, {"删除用户", {}}}},
      {"商品菜单",
       "超级列表框_商品",
       {{"开启/关闭", {}}, {"一键配置", {}}, {"复制配置", {}}, {"刷新商品", {}}, {"删除商品", {}}}},
      {"卡密菜单",
       "超级列表框_卡密",
       {{"刷新卡密", {}},
        {"复制卡密", {}},
        {"删除操作", {{"删除已使用", {}}, {"删除未使用", {}}}},
        {"导出操作", {{"导出已使用", {}}, {"导出未使用", {}}}}}},
  };
  return w;
}

bool HasAction(const std::vector<MenuItemSpec>& items, const std::string& item) {
  for (const MenuItemSpec& i : items) {
    if (i.items.empty() ? i.text == item : HasAction(i.items, item)) return true;
  }
  return false;
}

}  // namespace

const ControlSpec* WindowLayout::Find(const std::string& name) const {
  for (const ControlSpec& c : controls)
    if (c.name == name) return &c;
  return nullptr;
}

const MenuSpec* WindowLayout::MenuOf(const std::string& list) const {
  for (const MenuSpec& m : menus)
    if (m.list == list) return &m;
  return nullptr;
}

const WindowLayout& ManagementWindowLayout() {
  static const WindowLayout layout = BuildLayout();
  return layout;
}

bool MenuHasAction(const MenuSpec& menu, const std::string& item) { return HasAction(menu.items, item); }

}  // namespace quorvel
