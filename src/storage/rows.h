#pragma once
// One text per column of each table, in column order; "" stands for NULL.
#include <string>

namespace quorvel {

struct UserRow {
  std::string wxid, name, jf, zt, yqm;
};

struct CardKeyRow {
  std::string km, mr, zt, wxid, name;
};

struct ProductRow {
  std::string spid, spmc, spjg, xcxbs, yqmcs, cgbs, sbbs, yqmz, yqmy, wxid, zt;
};

struct OrderRow {
  std::string wxid, nickname, name, price, code, status, time;  // 微信id .. 时间
};

}  // namespace quorvel
