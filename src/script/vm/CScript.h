#pragma once
// One loaded compiled script: two tables of code offsets (resume points and choice return
// points) followed by bytecode, its program counter, its name and current source line.
// Scripts are shared: the document's current script, its script stack, suspended callers,
// registered script functions and choice branches may all refer to one object, which lives
// until the last of them lets go. Make them with std::make_shared. Main thread only.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "foundation/CStringUTF8.h"

class CArchiveManager;
class CScript;
using ScriptRef = std::shared_ptr<CScript>;

// A place in the code of a script that stays valid as long as the reference is held.
struct CodeAddress
{
    ScriptRef Script;
    uint32_t Offset = 0;
};

class CScript : public std::enable_shared_from_this<CScript>
{
public:
    CScript();
    virtual ~CScript();
    CScript(const CScript&) = delete;
    CScript& operator=(const CScript&) = delete;

    // Returns the byte at the program counter and moves it on by the advance (0 peeks, 1
    // consumes). Past the end of the code it answers 0, the END instruction, and stays put.
    virtual uint8_t ReadCode(uint32_t advance);
    // Consumes a four-byte big-endian operand; bytes past the end of the code read as 0.
    uint32_t ReadOperand();
    virtual CStringUTF8 GetName() const;
    virtual uint32_t GetPosition() const;
    // Jump through the resume table or the choice table; an index outside the table is reported
    // and leaves the program counter at the end of the code, where the script ends.
    virtual uint32_t JumpToTableA(uint32_t index);
    virtual uint32_t JumpToTableB(uint32_t index);
    // An offset past the end of the code is reported and taken as the end.
    virtual uint32_t SetPosition(uint32_t offset);
    virtual uint8_t IsResident() const;
    virtual void SetResident();
    // The next byte's place, for choice branches to come back to.
    virtual CodeAddress GetCodeAddress();

    // The same mark under the name the document's stack operations use.
    uint8_t IsEnded() const { return IsResident(); }
    void SetEnded() { SetResident(); }

    // Reads the named entry through the shared script archive and takes it as LoadImage does.
    // An entry the archive does not hold is thrown by the archive as its message text; with no
    // script archive open the script is refused.
    bool Load(const CStringUTF8& name);
    // Takes a whole script file (u32 resume count, u32 choice count, the two tables, bytecode).
    // A file that is too short, announces more table entries than it holds or points a table
    // entry outside its code is refused: the failure is reported, the script keeps no code and
    // ends at its first step. Answers whether the file was taken.
    bool LoadImage(std::vector<uint8_t> file, const CStringUTF8& name);
    // Bare bytecode without tables, as recorded code that is replayed.
    void LoadCode(std::span<const uint8_t> code, const CStringUTF8& name);
    // Back to the start of the code, as a call does.
    void ResetTables() { m_position = 0; }

    uint32_t GetCodeSize() const { return m_code_size; }
    // The bytecode; empty for a refused script.
    std::span<const uint8_t> GetCode() const
    {
        return m_code_size == 0 ? std::span<const uint8_t>() : std::span<const uint8_t>(m_file).subspan(m_code_start, m_code_size);
    }
    uint32_t GetResumeCount() const { return m_resume_count; }
    uint32_t GetChoiceCount() const { return m_choice_count; }
    // Number of CScript objects alive in the process.
    static int GetLiveScriptCount();
    // The archive every script is read through. The document opens it before the first script
    // is attached; it is closed when the last script is destroyed.
    static CArchiveManager* GetScriptArchive();
    static void SetScriptArchive(std::unique_ptr<CArchiveManager> archive);

    uint32_t Line = 0; // source line of the running code, shown in script-error texts

private:
    uint32_t TableEntry(uint32_t first_entry, uint32_t index) const;
    void Refuse(const char* reason);

    std::vector<uint8_t> m_file; // the whole entry as read
    uint32_t m_resume_count = 0;
    uint32_t m_choice_count = 0;
    uint32_t m_code_start = 0; // offset of the first bytecode byte in m_file
    uint32_t m_code_size = 0;
    uint32_t m_position = 0;
    uint8_t m_resident = 0;
    CStringUTF8 m_name;
};
