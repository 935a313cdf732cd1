// The catalogue (vrx.cfg) read through the real file system, in an add-on
// folder where two of the areas' texture folders exist: the file is loaded
// whole or declared corrupted, never half; what is loaded holds no path that
// climbs out of its folder; and a catalogue written from what was loaded
// loads to the same areas and backup folders.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "catalogue/Catalogue.h"
#include "platform/PathText.h"
#include "platform/TextCodec.h"
#include "platform/linux/LinuxFileSystem.h"

namespace {

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view lower) {
    if (a.size() != lower.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char c = a[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        if (c != lower[i]) return false;
    }
    return true;
}

// The description field that loads as text: CR LF back to "\n".
std::string DescriptionField(const std::string& text) {
    std::string field;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            field += "\\n";
            ++i;
        } else {
            field += text[i];
        }
    }
    return field;
}

void CheckPath(const std::string& path) {
    VRX_FUZZ_CHECK(!vrx::HasParentComponent(path));
    VRX_FUZZ_CHECK(path.find('\\') == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string app = vrx::fuzz::ScratchFolder() + "/app";
    vrx::fuzz::MakeFolder(app);
    vrx::fuzz::MakeFolder(app + "/Area1");
    vrx::fuzz::MakeFolder(app + "/Area2");
    const std::string file = app + "/vrx.cfg";
    vrx::fuzz::WriteBytes(file, bytes);

    vrx::LinuxFileSystem fs;
    const vrx::CatalogueLoadResult result = vrx::LoadCatalogue(fs, app, file);
    if (!result.catalogue) {
        VRX_FUZZ_CHECK(result.fatalMessage == vrx::kCatalogueCorrupted);
        return 0;
    }
    VRX_FUZZ_CHECK(result.fatalMessage.empty());
    const vrx::Catalogue& catalogue = *result.catalogue;
    VRX_FUZZ_CHECK(!catalogue.areas.empty());  // the first area line is always taken
    VRX_FUZZ_CHECK(catalogue.areas.size() == catalogue.names.size());
    for (std::size_t i = 0; i < catalogue.areas.size(); ++i) {
        const vrx::SceneryArea& area = catalogue.areas[i];
        VRX_FUZZ_CHECK(catalogue.names[i] == area.Name);
        CheckPath(area.SourceFolder);
        CheckPath(area.TargetFolder);
        for (const std::string* field : {&area.Name, &area.PreviewImage, &area.Exclusions}) {
            VRX_FUZZ_CHECK(field->find('|') == std::string::npos && field->find('\r') == std::string::npos);
        }
        VRX_FUZZ_CHECK(area.Description.find('|') == std::string::npos);
        VRX_FUZZ_CHECK(area.Description.find("\\n") == std::string::npos);
        // Every area but the first is listed only when its folder is there.
        if (i > 0) VRX_FUZZ_CHECK(fs.exists(vrx::JoinPath(app, area.SourceFolder)));
    }
    std::size_t lastFolder = 0;
    for (std::size_t k = 0; k < catalogue.backupSourceFolders.size(); ++k) {
        const std::string& folder = catalogue.backupSourceFolders[k];
        CheckPath(folder);
        VRX_FUZZ_CHECK(folder.empty() || (folder.front() != ' ' && folder.back() != ' '));
        if (!folder.empty()) lastFolder = k + 1;
    }

    // Written back out and loaded again: the same catalogue. (A folder line
    // that trims to "//end" would end the section, so such a file is left out.)
    std::string text = std::to_string(catalogue.areas.size()) + "\r\n";
    for (const vrx::SceneryArea& area : catalogue.areas) {
        text += "0|" + area.Name + "|" + area.SourceFolder + "|" + area.PreviewImage + "|" + area.Exclusions + "|" +
                area.TargetFolder + "|" + DescriptionField(area.Description) + "\r\n";
    }
    text += "//backups\r\n";
    for (std::size_t k = 0; k < lastFolder; ++k) {
        if (EqualsIgnoringAsciiCase(catalogue.backupSourceFolders[k], "//end")) return 0;
        text += catalogue.backupSourceFolders[k] + "\r\n";
    }
    text += "//end\r\n";
    const auto encoded = vrx::EncodeWindows1252(text);
    VRX_FUZZ_CHECK(encoded.has_value());
    vrx::fuzz::WriteBytes(file, *encoded);
    vrx::LinuxFileSystem fresh;
    const vrx::CatalogueLoadResult again = vrx::LoadCatalogue(fresh, app, file);
    VRX_FUZZ_CHECK(again.catalogue.has_value());
    VRX_FUZZ_CHECK(again.catalogue->names == catalogue.names);
    VRX_FUZZ_CHECK(again.catalogue->backupSourceFolders == catalogue.backupSourceFolders);
    for (std::size_t i = 0; i < catalogue.areas.size(); ++i) {
        const vrx::SceneryArea& a = catalogue.areas[i];
        const vrx::SceneryArea& b = again.catalogue->areas[i];
        VRX_FUZZ_CHECK(a.Name == b.Name && a.SourceFolder == b.SourceFolder && a.PreviewImage == b.PreviewImage &&
                       a.Exclusions == b.Exclusions && a.TargetFolder == b.TargetFolder &&
                       a.Description == b.Description);
    }
    return 0;
}
