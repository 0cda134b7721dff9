// A settings file as the game finds it beside the executable: loaded, queried, changed and saved.
// A file that loads must load again after its save, or a load and save would lose settings.
#include <cstdlib>

#include "FuzzSupport.h"
#include "FuzzTargets.h"
#include "foundation/CXMLDocument.h"

int FuzzXmlDocument(const uint8_t* data, size_t size)
{
    PrepareFuzzProcess();
    const CStringUTF8 path = WriteFuzzFile("config.xml", data, size);
    CXMLDocument document(path);
    const bool loaded = document.Load() == 1;
    document.GetInt(CStringUTF8("/Config/Language"), 0);
    document.GetString(CStringUTF8("/Screen/Window/Width"), CStringUTF8());
    document.SetInt(CStringUTF8("/Config/Master/Volume"), 40);
    if (document.Save() == 0)
        return 0;
    CXMLDocument again(path);
    if (loaded && again.Load() != 1)
        std::abort(); // a document that loaded was saved in a form it cannot read back
    if (loaded && again.GetInt(CStringUTF8("/Config/Master/Volume"), 0) != 40)
        std::abort();
    return 0;
}
