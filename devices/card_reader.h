#pragma once

#include "devices/id_card.h"
#include "platform/error.h"

#include <QStringList>

#include <atomic>
#include <functional>

namespace tawela::devices {

// A card read that did not complete: the card was pulled out, the reader
// went away, or the card's data do not check out. The text says which, in Thai.
class CardError : public platform::Error {
public:
    enum class Kind { NoService, NoReader, Removed, Unreadable, BadCheckDigit };
    CardError(Kind kind, const QString& description) : Error(description), m_kind(kind) {}
    Kind kind() const { return m_kind; }

private:
    Kind m_kind;
};

// Thai ID cards through the computer's smart-card service (PC/SC). Every
// call opens its own connection to the service and closes it again, so an
// object may be used from any one thread at a time, and a service started
// later is found. Nothing here blocks for long, except read(), which takes a
// few seconds: run it off the screen's thread.
// A read ended by its `stop` (the screen that asked for it closes).
struct ReadStopped {};

class CardReader {
public:
    // What the service says of itself, for the status line; ok false when
    // it cannot be reached.
    struct Status {
        bool ok = false;
        QString text;
    };
    Status libraryStatus() const;

    // The names of the attached readers; empty when there are none or the
    // service is not running.
    QStringList readers() const;

    // A card sits in the reader ("Present"). `insertions`, when given, hears
    // the reader's count of cards put in and taken out, which tells a card
    // swapped for another between two looks.
    bool cardPresent(const QString& reader, int* insertions = nullptr) const;

    // Every field and, unless told otherwise, the photo (which takes most
    // of the time). `progress` hears 0-100 as the read goes on; `textRead`
    // gets the text fields before the photo is read. A `stop` set from
    // another thread ends the read between two commands with ReadStopped.
    // Throws CardError.
    IdCard read(const QString& reader, const std::function<void(int)>& progress = {},
                bool withPhoto = true, const std::function<void(const IdCard&)>& textRead = {},
                const std::atomic<bool>* stop = nullptr) const;
};

// The reader to watch for cards outside the card screen (the contract
// screen's polling): the one last chosen on the card screen while it is
// attached, else the first attached (the only one, as a rule); empty when
// none is attached. The choice lasts while the program runs.
QString readerToWatch(const QStringList& attached);
void chooseReader(const QString& name);

} // namespace tawela::devices
