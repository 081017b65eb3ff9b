#pragma once

#include <QString>

#include <cstddef>
#include <functional>
#include <string>

namespace tawela::platform {

// One member of a zip archive, inflated a piece at a time and handed on, so a
// large member is never held whole. False when the archive has no such
// member or keeps it in a way read only whole (zip64, a method other than
// stored or deflated): the caller reads it whole then. A member that does
// not inflate throws std::runtime_error; so may the receiver.
bool inflateZipEntry(const QString& archive, const std::string& name,
                     const std::function<void(const char* data, size_t size)>& receive);

} // namespace tawela::platform
