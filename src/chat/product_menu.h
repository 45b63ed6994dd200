#pragma once
// The product menu sent in reply to "菜单".
#include <string>

namespace quorvel {

// One line per enabled product, in table order: spid "：" spmc " [" spjg
// "积分]", each ended by a bare carriage return. Empty when no product is
// enabled or the database cannot be read.
std::string ProductMenuText();

}  // namespace quorvel
