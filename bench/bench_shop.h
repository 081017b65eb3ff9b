#pragma once

#include "platform/db/database.h"

#include <QString>

#include <functional>
#include <memory>

namespace tawela::bench {

// A main database of `contracts` contracts as a shop gathers them over the
// years: numbers rising with the deposit date (8,000 a month), a customer
// for every five contracts, the newest tenth still open and one older
// contract in 211 left open past its due date. Written with plain SQL in one
// statement; kept in `folder` and reused by later runs of the same size.
std::shared_ptr<platform::db::Database> benchShop(const QString& folder, long long contracts);
// The same shop as the schema "bench_<contracts>" on a server (made once).
std::shared_ptr<platform::db::Database> benchShopOnServer(platform::db::ServerAddress server,
                                                          long long contracts);

// A customer database of `customers` customers (with the postal directory):
// customer i has the code i + 1, the ID number benchCustomerId(i), one of
// twenty given names (benchGivenName(i % 20)) followed by a number, a
// family name, an address in Khon Kaen and a birth date. Kept and reused
// like the shop.
std::shared_ptr<platform::db::Database> benchCustomers(const QString& folder, long long customers);
QString benchGivenName(int which);

// The number the generator gave contract i, and the ID number of a customer.
QString benchPolicyNo(long long i);
QString benchCustomerId(long long customer);

// The main of a benchmark over generated data: reads "--<count>=N" into
// *count, "--data=DIR" into *dataDir (a failure's details are logged there)
// and, when server is given, "--server"; prepare() makes the data before
// anything is timed and cleanup() lets it go before Qt's drivers do.
struct BenchArguments {
    const char* countFlag; // "--rows="
    long long* count;
    QString* dataDir;
    bool* server = nullptr;
};
int runBenchmarks(int argc, char** argv, const BenchArguments& arguments,
                  const std::function<void()>& prepare, const std::function<void()>& cleanup);

} // namespace tawela::bench
