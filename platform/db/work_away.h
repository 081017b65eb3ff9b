#pragma once

#include "platform/db/database.h"

#include <functional>
#include <memory>
#include <optional>

namespace tawela::platform::db {

// Inside a unit of work run by workAway(): the connections the work uses.
// On the server they are connections of the working thread's own to the same
// schemas as the program's ("twins", opened there once and kept); on a file,
// or when the work runs where it was asked, the program's own.
class Away {
public:
    std::shared_ptr<Database> use(const std::shared_ptr<Database>& db) const;

private:
    friend void workAway(const std::shared_ptr<Database>&, const std::function<void(Away&)>&);
    bool m_twins = false;
};

// Runs one unit of work on the server on a thread of its own, while the
// calling thread goes on painting its windows and running its timers (the
// person's keys and clicks wait until it ends). A network that goes silent
// in the middle of a save then leaves a window that still paints and, when
// the statement's time is up, says the server was lost, instead of one that
// does not respond. Runs the work right here for a file, inside an open
// transaction of `db` (the work belongs to it), without an application
// object, and when already on the working thread. Rethrows what the work
// threw.
void workAway(const std::shared_ptr<Database>& db, const std::function<void(Away&)>& work);

template <class Result>
Result workAway(const std::shared_ptr<Database>& db, const std::function<Result(Away&)>& work)
{
    std::optional<Result> result;
    workAway(db, std::function<void(Away&)>([&](Away& away) { result.emplace(work(away)); }));
    return std::move(*result);
}

// True while this thread waits for a unit of work away: a timer or a window
// that fires meanwhile must not change what the work was given or read.
bool workingAway();

} // namespace tawela::platform::db
