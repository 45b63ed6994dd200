#pragma once
#include "chat/private_message.h"
#include "storage/rows.h"
#include "storage/settings.h"

namespace quorvel {

// Visits the enabled products in table order, logging one line each, and
// places the order or handles the result of the first product the message
// belongs to. Call with PluginLock() held.
void RunProductScan(const PrivateMessage& message, const Settings& settings);

// Charges the price, records the code and the order, forwards the message and
// confirms to the user.
void PlaceOrder(const PrivateMessage& message, const ProductRow& product, const std::string& code,
                const Settings& settings);

// A fulfilment account's result for the order holding the code in the message.
void FinishOrder(const PrivateMessage& message, const ProductRow& product, const Settings& settings);
void FailOrder(const PrivateMessage& message, const ProductRow& product, const Settings& settings);

}  // namespace quorvel
