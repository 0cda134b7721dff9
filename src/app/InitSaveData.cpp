#include "app/InitSaveData.h"

#include <functional>
#include <string>
#include <vector>

#include "app/AppMessageBox.h"
#include "app/CWinApp.h"
#include "foundation/CFile.h"
#include "foundation/CFlagArc.h"
#include "foundation/WriteFileAtomically.h"
#include "platform/kernel/FileApi.h"
#include "platform/res/ResourceApi.h"
#include "script/save/SaveStore.h"

namespace {

// String resource of the configuration document's file name.
constexpr UINT IDS_CONFIG_FILE_NAME = 115;

bool PathExists(const CStringUTF8& path)
{
    WIN32_FIND_DATAW find_data{};
    HANDLE find = FindFirstFileW(path.GetWideText(), &find_data);
    if (find == INVALID_HANDLE_VALUE || find == nullptr)
        return false;
    FindClose(find);
    return true;
}

// The name of the first flag file in folder: the marker of a save folder that was set up. It is
// looked for in the folder the set is written into, whatever "/R18" selects for the game, or a
// player with "/R18" = 1 would get the initial set written over their files at every start.
CStringUTF8 FirstFlagFileIn(const CStringUTF8& folder)
{
    CStringUTF8 name;
    name.Format("%sFLAG%03u", folder.GetText(), 0u);
    return name;
}

void ShowMessage(const char* text)
{
    if (CWinApp* application = GetApp())
        application->MessageBox(text, 0);
    else
        AppMessageBox(0, text);
}

} // namespace

int EnsureDirectory(CStringUTF8 path)
{
    char16_t drive[MAX_PATH] = {};
    char16_t folder[MAX_PATH] = {};
    char16_t file_name[MAX_PATH] = {};
    char16_t extension[MAX_PATH] = {};
    _wsplitpath_s(path.GetWideText(), drive, MAX_PATH, folder, MAX_PATH, file_name, MAX_PATH, extension,
                  MAX_PATH);
    if (file_name[0] == u'\0') {
        std::u16string wide = path.GetWideText();
        if (!wide.empty())
            wide.pop_back();
        path = CStringUTF8(wide.c_str());
    }
    if (PathExists(path))
        return 1;
    if (CreateDirectoryW(path.GetWideText(), nullptr))
        return 1;
    CStringUTF8 message;
    message.Format("%s\nCreate Directory FAILED.", path.GetText());
    AppMessageBox(0, message);
    return 0;
}

int CreateUserFolders()
{
    CWinApp* application = GetApp();
    if (!application)
        return 0;
    if (!EnsureDirectory(application->GetMakerFolder()))
        return 0;
    if (!EnsureDirectory(application->GetUserDataRoot()))
        return 0;
    return EnsureDirectory(application->GetSaveFolder());
}

bool ExtractFlagImage(HINSTANCE instance, uint16_t resource_id, const CStringUTF8& folder,
                      const std::function<bool(std::vector<uint8_t>&)>& prepare_marker)
{
    HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(resource_id), u"FLAG");
    HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) {
        ShowMessage("There is an error in the save data initialization information.");
        ShowMessage("An error occurred while initializing the save data.Processing was interrupted.");
        return false;
    }
    CFlagArc archive(bytes, SizeofResource(instance, resource));

    // The first flag file marks a finished set, so it is written last: a start cut short before
    // the end finds no marker and extracts again.
    const CStringUTF8 marker = FirstFlagFileIn(folder);
    std::vector<CStringUTF8> paths;
    std::vector<size_t> order;
    for (size_t index = 0; index < archive.GetCount(); ++index)
        paths.push_back(folder + CStringUTF8(AnsiToWide(archive.GetName(index)).c_str()));
    for (size_t index = 0; index < paths.size(); ++index)
        if (!paths[index].IsEqual(marker.GetStdString()))
            order.push_back(index);
    for (size_t index = 0; index < paths.size(); ++index)
        if (paths[index].IsEqual(marker.GetStdString()))
            order.push_back(index);

    CStringUTF8 config_name;
    config_name.LoadString(IDS_CONFIG_FILE_NAME);
    const CStringUTF8 config_path = folder + config_name;
    std::vector<CStringUTF8> written;
    bool failed = false;
    // Every file's rename is on the disk before the marker's can be, and the marker's before the
    // set counts as made: a flush that fails takes the set back as a failed write does.
    DeferredFolderFlush renames;
    for (const size_t index : order) {
        const CStringUTF8& path = paths[index];
        if (path.IsEqual(marker.GetStdString()) && !renames.Flush()) {
            failed = true;
            break;
        }
        const DWORD attributes = GetFileAttributesW(path.GetWideText());
        // The player's settings survive an extraction that runs again.
        if (path.IsEqual(config_path.GetStdString()) && attributes != INVALID_FILE_ATTRIBUTES &&
            (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            continue;
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            failed = true; // a folder in the file's place: it cannot be opened
            break;
        }
        // Each file goes through a flushed temporary, so the marker, last, is on the disk only
        // after every other file is whole there.
        std::span<const uint8_t> bytes;
        if (!archive.DecodeEntry(index, bytes)) {
            ShowMessage("There is an error in the save data initialization information.");
            failed = true;
            break;
        }
        std::vector<uint8_t> prepared;
        if (prepare_marker && path.IsEqual(marker.GetStdString())) {
            prepared.assign(bytes.begin(), bytes.end());
            if (!prepare_marker(prepared)) {
                failed = true;
                break;
            }
            bytes = prepared;
        }
        if (!WriteFileAtomically(path, bytes)) {
            ShowMessage("There is an error in the save data initialization information.");
            failed = true;
            break;
        }
        written.push_back(path);
    }
    failed = failed || !renames.Flush();
    if (!failed)
        return true;
    ShowMessage("An error occurred while initializing the save data.Processing was interrupted.");
    // A half-written set would pass for a complete one at the next start, once its first flag
    // file is there: take it all back so the next start extracts again.
    for (const CStringUTF8& path : written)
        DeleteFileW(path.GetWideText());
    return false;
}

void InitSaveData(HINSTANCE instance)
{
    CWinApp* application = GetApp();
    if (!application)
        return;
    CreateUserFolders();

    const CStringUTF8 folder = application->GetSaveFolder();
    if (PathExists(FirstFlagFileIn(folder)))
        return;
    // A system flag file lost while saves stayed: the initial one lists them as it is written,
    // so no stop or full disk can leave it on the disk without them (a later start, finding it,
    // would never list them again).
    bool listed = false;
    const auto list_saves = [&listed](std::vector<uint8_t>& bytes) {
        const InitialListing listing = SaveStore::ListSavesInInitialSystemFile(bytes);
        listed = listing == InitialListing::Listed;
        return listing != InitialListing::Unsettled;
    };
    const bool lists = application->GetAppString().IsEqual(folder.GetStdString());
    const bool extracted =
        ExtractFlagImage(instance, INITIAL_SAVE_RESOURCE, folder,
                         lists ? std::function<bool(std::vector<uint8_t>&)>(list_saves) : nullptr);

    // The unpacked "config.xml" is the one in force from the first start on.
    CStringUTF8 config_name;
    config_name.LoadString(IDS_CONFIG_FILE_NAME);
    auto config = std::make_unique<CXMLDocument>(folder + config_name);
    config->Load();
    application->ReplaceConfigDocument(std::move(config));
    if (extracted && listed)
        SaveStore::NoticeListedSaves();
}
