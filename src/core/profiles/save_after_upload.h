#pragma once

#include "core/profiles/profile_files.h"
#include "core/record/config_record.h"

#include <functional>

namespace qvr {

// The hook MouseProtocol::uploadConfiguration runs after an upload: saves the
// record into the current profile's record file, then its labels. The order
// matters: the save is what points the settings path back at the current
// profile's settings file. The returned function refers to files, which must
// outlive it.
std::function<void(const ConfigRecord&)> saveAfterUpload(ProfileFiles& files);
// The same, then which pointer settings the user changed, as they are when
// the upload ends.
std::function<void(const ConfigRecord&)> saveAfterUpload(ProfileFiles& files,
                                                         const PointerChanges& changes);

// The record, the labels, the pointer changes and, when given, the names
// behind the record's macro table into the current profile's files, all or
// none. False when they could not be written (the user has been told).
bool saveProfileFiles(ProfileFiles& files, const ConfigRecord& record,
                      const PointerChanges& changes,
                      const std::optional<MacroTableNames>& macroNames = std::nullopt);

} // namespace qvr
