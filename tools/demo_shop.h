#pragma once

#include "app/connections.h"

#include <QDate>

namespace tawela::tools {

// Fills open databases with a sample shop: its details and settings, rate
// tables, three employees, customers, and contracts in every state with
// their renewals, receipts and expense rows. Throws DbError.
// Returns the number of contracts written.
int fillDemoShop(const app::Connections& connections, const QDate& today);

} // namespace tawela::tools
