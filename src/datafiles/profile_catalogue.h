#pragma once
// The device profile catalogue: what the program folder's ".FCP" files say
// about themselves (file name, profile name, brand, type, serial number, as
// five parallel lists), and the one way from a station's device profile name
// to its file and its profile record. Windows receive the catalogue's name and
// file lists; the command line builds a catalogue of its own folder.
#include <string>
#include <vector>

#include "datafiles/profile.h"

namespace kiv {

// One entry per readable ".FCP" file, in file name order.
struct TProfileCatalogue {
    std::vector<std::string> files;
    std::vector<std::string> names;
    std::vector<std::string> brands;
    std::vector<std::string> types;
    std::vector<std::string> serials;
};

// A file whose profile does not read is left out of all five lists.
[[nodiscard]] TProfileCatalogue BuildProfileCatalogue(const std::string& programFolder);

// Position of the device profile in the catalogue's names, or -1 (also when
// the parallel file list has no entry there). Names are the stored bytes, a
// station file holds the name as UTF-8: either form matches.
[[nodiscard]] int ProfileIndex(const std::vector<std::string>& names, const std::vector<std::string>& files,
                               const std::string& deviceProfile);

enum ProfileLookupResult : int {
    ProfileRead = 0,
    ProfileNotInCatalogue = 1, // no entry of that name
    ProfileUnreadable = 2,     // the entry's file is missing, damaged or has no items
};

struct TProfileRecord {
    std::string file; // the profile file's full path
    TRecProfParams params;
    std::vector<TParamItem> items; // as stored, not compacted
    std::vector<std::string> groups;
};

// Finds the device profile in the catalogue and reads its file from the
// folder (with its trailing "/"). A file that is not there at all gives
// ProfileUnreadable without a message of the file layer, so the caller's own
// message is the only one. On failure `profile` keeps the file path found, if any.
[[nodiscard]] int ReadCatalogueProfile(const std::vector<std::string>& names, const std::vector<std::string>& files,
                                       const std::string& folder, const std::string& deviceProfile,
                                       TProfileRecord& profile);

// Whether a profile file is not there or holds no bytes, as opposed to one
// that is there but damaged: for a caller that tells the two apart once
// ReadCatalogueProfile gave ProfileUnreadable (with the path it found).
[[nodiscard]] bool ProfileFileEmpty(const std::string& file);

} // namespace kiv
