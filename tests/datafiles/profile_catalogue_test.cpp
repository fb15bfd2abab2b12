// The profile catalogue of a folder and the lookup from a station's device
// profile name to its file and record.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/param_item.h"
#include "common/temp_folder.h"
#include "datafiles/profile_catalogue.h"
#include "support/message_recorder.h"

namespace kiv {
namespace {

bool WriteProfileFile(const std::string& file, const std::string& name, const std::string& brand = "Plum",
                      const std::string& type = "MacMat", const std::string& serial = "") {
    TRecProfParams params;
    params.profileByte = 2;
    params.texts = {name, brand, type, serial, ""};
    const TParamItem items[] = {test::MakeItem({.shortName = "Vn", .param = 1, .type = 7}),
                                test::MakeItem({.shortName = "t", .param = 2, .type = 8})};
    TFCProfileRdWr writer;
    return writer.WriteProfile(file, params, items, 2, {"POM=Pomiary"}) == 0;
}

struct CatalogueFolder : test::TempFolder {
    CatalogueFolder() : TempFolder("kiv-catalogue") {
        ok = WriteProfileFile(File("B.FCP"), "Profil B", "Plum", "MacMat", "123") &&
             WriteProfileFile(File("a.fcp"), "Profil A", "Common", "KM-100") &&
             WriteProfileFile(File("PL.FCP"), "Gaz \xA3\xF3" "d\x9F"); // "Gaz Łódź" as Windows-1250
        std::ofstream(File("BROKEN.FCP")) << "not a profile";
        std::ofstream(File("notes.txt")) << "x";
        std::filesystem::create_directory(path / "DIR.FCP");
    }
    bool ok = false;
};

TEST(ProfileCatalogue, ListsReadableProfilesOnly) {
    CatalogueFolder folder;
    ASSERT_TRUE(folder.ok);
    const TProfileCatalogue c = BuildProfileCatalogue(folder.Folder());
    EXPECT_EQ(c.files, (std::vector<std::string>{"B.FCP", "PL.FCP", "a.fcp"}));
    EXPECT_EQ(c.names, (std::vector<std::string>{"Profil B", "Gaz \xA3\xF3" "d\x9F", "Profil A"}));
    EXPECT_EQ(c.brands, (std::vector<std::string>{"Plum", "Plum", "Common"}));
    EXPECT_EQ(c.types, (std::vector<std::string>{"MacMat", "MacMat", "KM-100"}));
    EXPECT_EQ(c.serials, (std::vector<std::string>{"123", "", ""}));
}

TEST(ProfileCatalogue, LooksUpTheDeviceProfile) {
    struct Row {
        const char* what;
        std::string deviceProfile;
        int damage; // 0 none, 1 file removed, 2 file cut short, 3 file list one short
        int result;
        const char* file;
    };
    const Row rows[] = {
        {"stored name", "Profil A", 0, ProfileRead, "a.fcp"},
        {"stored Windows-1250 bytes", "Gaz \xA3\xF3" "d\x9F", 0, ProfileRead, "PL.FCP"},
        {"station file's UTF-8 of those bytes", "Gaz Łódź", 0, ProfileRead, "PL.FCP"},
        {"names compare exactly", "profil a", 0, ProfileNotInCatalogue, ""},
        {"empty name", "", 0, ProfileNotInCatalogue, ""},
        {"file gone since the catalogue was built", "Profil B", 1, ProfileUnreadable, "B.FCP"},
        {"file damaged since", "Profil B", 2, ProfileUnreadable, "B.FCP"},
        {"name without a file entry", "Profil A", 3, ProfileNotInCatalogue, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        CatalogueFolder folder;
        ASSERT_TRUE(folder.ok);
        TProfileCatalogue c = BuildProfileCatalogue(folder.Folder());
        if (row.damage == 1) std::filesystem::remove(folder.File("B.FCP"));
        if (row.damage == 2) std::filesystem::resize_file(folder.File("B.FCP"), 40);
        if (row.damage == 3) c.files.pop_back();
        MessageRecorder recorder;
        TProfileRecord profile;
        EXPECT_EQ(ReadCatalogueProfile(c.names, c.files, folder.Folder(), row.deviceProfile, profile), row.result);
        EXPECT_EQ(profile.file, *row.file ? folder.Folder() + row.file : std::string());
        EXPECT_EQ(recorder.Count(), 0u) << "the caller's message is the only one";
        if (row.result == ProfileRead) {
            EXPECT_EQ(profile.params.profileByte, 2);
            ASSERT_EQ(profile.items.size(), 2u);
            EXPECT_EQ(profile.items[1].ShortName(), "t");
            EXPECT_EQ(profile.groups, std::vector<std::string>{"POM=Pomiary"});
        } else {
            EXPECT_TRUE(profile.items.empty());
            EXPECT_TRUE(profile.params.Name().empty());
        }
    }
}

} // namespace
} // namespace kiv
