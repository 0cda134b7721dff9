#include "script/vm/CScript.h"

#include <utility>

#include "foundation/CArchiveManager.h"
#include "script/vm/ScriptError.h"

namespace {

int s_live_script_count = 0;
std::unique_ptr<CArchiveManager> s_script_archive;

constexpr uint32_t HEADER_SIZE = 8;

uint32_t GetU32(const uint8_t* in)
{
    return static_cast<uint32_t>(in[0]) | (static_cast<uint32_t>(in[1]) << 8) |
           (static_cast<uint32_t>(in[2]) << 16) | (static_cast<uint32_t>(in[3]) << 24);
}

} // namespace

CScript::CScript()
{
    ++s_live_script_count;
}

CScript::~CScript()
{
    if (--s_live_script_count == 0)
        s_script_archive.reset();
}

int CScript::GetLiveScriptCount()
{
    return s_live_script_count;
}

CArchiveManager* CScript::GetScriptArchive()
{
    return s_script_archive.get();
}

void CScript::SetScriptArchive(std::unique_ptr<CArchiveManager> archive)
{
    s_script_archive = std::move(archive);
}

bool CScript::Load(const CStringUTF8& name)
{
    CArchiveManager* archive = s_script_archive.get();
    if (!archive) {
        m_name = name;
        Refuse("スクリプトアーカイブが開かれていません");
        return false;
    }
    archive->OpenEntry(name);
    std::vector<uint8_t> file(archive->GetSize());
    archive->ReadAll(file.data());
    archive->CloseEntry();
    return LoadImage(std::move(file), name);
}

uint8_t CScript::ReadCode(uint32_t advance)
{
    if (m_position >= m_code_size)
        return 0;
    const uint8_t byte = m_file[m_code_start + m_position];
    m_position += advance;
    return byte;
}

uint32_t CScript::ReadOperand()
{
    uint32_t operand = 0;
    for (int k = 0; k < 4; ++k) {
        operand <<= 8;
        if (m_position < m_code_size)
            operand |= m_file[m_code_start + m_position++];
    }
    return operand;
}

CStringUTF8 CScript::GetName() const
{
    return m_name;
}

uint32_t CScript::GetPosition() const
{
    return m_position;
}

uint32_t CScript::JumpToTableA(uint32_t index)
{
    if (index >= m_resume_count) {
        CStringUTF8 text;
        text.Format("再開位置 %u は再開テーブルの範囲外です（%u 個）", index, m_resume_count);
        ReportScriptError(text);
        m_position = m_code_size;
        return m_position;
    }
    m_position = TableEntry(0, index);
    return m_position;
}

uint32_t CScript::JumpToTableB(uint32_t index)
{
    if (index >= m_choice_count) {
        CStringUTF8 text;
        text.Format("選択位置 %u は選択テーブルの範囲外です（%u 個）", index, m_choice_count);
        ReportScriptError(text);
        m_position = m_code_size;
        return m_position;
    }
    m_position = TableEntry(m_resume_count, index);
    return m_position;
}

uint32_t CScript::SetPosition(uint32_t offset)
{
    if (offset > m_code_size) {
        CStringUTF8 text;
        text.Format("コード位置 %u はコードの終端を越えています（%u バイト）", offset, m_code_size);
        ReportScriptError(text);
        offset = m_code_size;
    }
    m_position = offset;
    return m_position;
}

uint8_t CScript::IsResident() const
{
    return m_resident;
}

void CScript::SetResident()
{
    m_resident = 1;
}

CodeAddress CScript::GetCodeAddress()
{
    return CodeAddress{weak_from_this().lock(), m_position};
}

bool CScript::LoadImage(std::vector<uint8_t> file, const CStringUTF8& name)
{
    m_name = name;
    m_file = std::move(file);
    m_resume_count = m_choice_count = m_code_start = m_code_size = m_position = 0;
    if (m_file.size() < HEADER_SIZE) {
        Refuse("ヘッダーより短いファイルです");
        return false;
    }
    if (m_file.size() > UINT32_MAX) {
        Refuse("4 GB を超えるファイルです");
        return false;
    }
    const uint64_t resume_count = GetU32(m_file.data());
    const uint64_t choice_count = GetU32(m_file.data() + 4);
    const uint64_t code_start = HEADER_SIZE + 4 * (resume_count + choice_count);
    if (code_start > m_file.size()) {
        Refuse("テーブルがファイルの終端を越えています");
        return false;
    }
    m_resume_count = static_cast<uint32_t>(resume_count);
    m_choice_count = static_cast<uint32_t>(choice_count);
    m_code_start = static_cast<uint32_t>(code_start);
    m_code_size = static_cast<uint32_t>(m_file.size() - code_start);
    for (uint32_t i = 0; i < m_resume_count + m_choice_count; ++i) {
        if (TableEntry(0, i) > m_code_size) {
            Refuse("テーブルの位置がコードの終端を越えています");
            return false;
        }
    }
    return true;
}

void CScript::LoadCode(std::span<const uint8_t> code, const CStringUTF8& name)
{
    m_name = name;
    m_file.assign(code.begin(), code.end());
    m_resume_count = m_choice_count = m_code_start = m_position = 0;
    m_code_size = static_cast<uint32_t>(m_file.size());
}

uint32_t CScript::TableEntry(uint32_t first_entry, uint32_t index) const
{
    return GetU32(m_file.data() + HEADER_SIZE + 4 * static_cast<size_t>(first_entry + index));
}

void CScript::Refuse(const char* reason)
{
    m_resume_count = m_choice_count = m_code_start = m_code_size = m_position = 0;
    m_file.clear();
    CStringUTF8 text;
    text.Format("スクリプトファイル %s は使用できません：%s", m_name.GetText(), reason);
    ReportScriptError(text);
}
