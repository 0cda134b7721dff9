#include "fuzzseeds/FuzzSeeds.h"

#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "akbwriter/AkbWriter.h"
#include "arcpack/ArchiveWriter.h"
#include "areawriter/AreaWriter.h"
#include "castnames/CastNamesWriter.h"
#include "slotwrite/SlotTableWriter.h"
#include "cgtablewrite/CGTableWriter.h"
#include "facevoice/FaceVoiceWriter.h"
#include "flagwrite/FlagFileWriter.h"
#include "flagwrite/SaveDataWriter.h"
#include "flagpack/FlagImageWriter.h"
#include "lzss/LzssEncoder.h"
#include "mapwrite/MapTableWriter.h"
#include "mesasm/MesAssembler.h"
#include "mpegclip/MpegClipWriter.h"
#include "oggwriter/OggWriter.h"
#include "settingsxml/SettingsXmlWriter.h"
#include "wavwriter/WavWriter.h"
#include "townmap/TownMapWriter.h"

namespace tools {

namespace {

using Bytes = std::vector<uint8_t>;

Bytes FromText(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

class SeedFolder
{
public:
    SeedFolder(const std::filesystem::path& root, const char* target)
        : m_folder(root / target)
    {
        std::filesystem::create_directories(m_folder);
    }

    void Add(const std::string& name, const Bytes& bytes) const
    {
        std::ofstream file(m_folder / name, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!file)
            throw std::runtime_error("cannot write " + (m_folder / name).string());
    }

private:
    std::filesystem::path m_folder;
};

void PutLittleEndian32(Bytes& out, uint32_t value)
{
    for (int k = 0; k < 4; ++k)
        out.push_back(static_cast<uint8_t>(value >> (8 * k)));
}

AkbPicture Gradient(int32_t width, int32_t height)
{
    AkbPicture picture = MakePicture(width, height, 0);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            picture.At(x, y) = 0xFF000000u | static_cast<uint32_t>(x * 8) << 16 | static_cast<uint32_t>(y * 8) << 8 |
                               static_cast<uint32_t>((x + y) & 0xFF);
    return picture;
}

void WriteXmlSeeds(const std::filesystem::path& root)
{
    const SeedFolder seeds(root, "xml_document");
    seeds.Add("typical.xml", FromText(WriteSettingsXml("Config", MakeTypicalSettings(3, 4))));
    seeds.Add("header.xml", FromText("<?xml version='1.0' encoding=\"Shift_JIS\"?>\n<A>1</A>\n<B>\n\t<C>x y</C>\n</B>\n"));
    seeds.Add("comments.xml", FromText("\xEF\xBB\xBF<?xml version=\"1.0\" ?>\r\n<!-- a <!-- nested --> -->\r\n"
                                       "<Screen>\r\n\t<Window>\r\n\t\t<Width>1280</Width>\r\n\t</Window>\r\n</Screen>\r\n"));
    Bytes utf16 = {0xFF, 0xFE};
    for (char16_t unit : std::u16string(u"<?xml ?>\n<Name>名前</Name>\n")) {
        utf16.push_back(static_cast<uint8_t>(unit));
        utf16.push_back(static_cast<uint8_t>(unit >> 8));
    }
    seeds.Add("utf16.xml", utf16);
}

void WriteArchiveSeeds(const std::filesystem::path& root)
{
    const SeedFolder seeds(root, "archive");
    const std::vector<ArchiveEntry> entries = {
        {"A.TXT", FromText("some text, some text, some text")},
        {"B.DAT", Bytes(300, 0x5A)},
        {"E", {}},
        {"START.MES", FromText("script")},
    };
    // The first byte: bit 0 compressed, bit 1 extract.
    for (uint8_t mode : {0, 1, 2, 3}) {
        Bytes seed = {mode};
        const Bytes archive = BuildArchive(entries, (mode & 1) ? ArchiveEncoding::Lzss : ArchiveEncoding::Plain);
        seed.insert(seed.end(), archive.begin(), archive.end());
        seeds.Add("mode" + std::to_string(mode) + ".arc", seed);
    }
}

void WriteLzssSeeds(const std::filesystem::path& root)
{
    const SeedFolder seeds(root, "lzss");
    const std::vector<Bytes> plains = {FromText("abcabcabcabcabcabcabcabc, then something else"), Bytes(1000, 7), Bytes{}};
    int k = 0;
    for (const Bytes& plain : plains) {
        Bytes seed = {static_cast<uint8_t>(plain.size()), static_cast<uint8_t>(plain.size() >> 8)};
        const Bytes packed = LzssEncode(plain);
        seed.insert(seed.end(), packed.begin(), packed.end());
        seeds.Add("stream" + std::to_string(k++), seed);
    }
}

void WriteLangTextSeeds(const std::filesystem::path& root)
{
    const SeedFolder seeds(root, "lang_text_table");
    const std::vector<MapText> texts = {{0, u"Quit"}, {1, u"タイトル\\nへ"}, {7, u"\\rruby\\r設定"}, {0, u"second"}};
    seeds.Add("system.map", BuildMapTable(texts));
    seeds.Add("empty.map", BuildMapTable(std::vector<MapText>{}));
}

void WriteFlagSeeds(const std::filesystem::path& root)
{
    const SeedFolder seeds(root, "flag_arc");
    const std::vector<ArchiveEntry> entries = {{"FLAG000", Bytes(64, 1)}, {"config.xml", FromText("<?xml ?>\n")}};
    seeds.Add("initial.flag", BuildFlagImage(entries));
}

void WriteAkbSeeds(const std::filesystem::path& root)
{
    const SeedFolder seeds(root, "akb");
    const AkbPicture picture = Gradient(16, 12);
    seeds.Add("plain.akb", EncodeAkb(picture, {}));
    AkbOptions rgb;
    rgb.rgb_alpha = 0x80;
    seeds.Add("rgb.akb", EncodeAkb(picture, rgb));
    AkbOptions border;
    border.content = AkbRect{2, 3, 10, 9};
    border.fill = 0xFF0000FF;
    seeds.Add("border.akb", EncodeAkb(picture, border));
    AkbOptions difference;
    difference.base_name = "base.akb";
    seeds.Add("difference.akb", EncodeAkb(picture, difference));
}

void WriteScriptSeeds(const std::filesystem::path& root)
{
    const SeedFolder seeds(root, "script");
    const char* const sources[] = {
        "push 10\nrand\npush -5\nrand\npush 1\njz skip\npush 2\nskip:\nend\n",
        "push 0\nstvar 0\nbytes 0x0A 0x01 0x02 0x00\ntext0a x\"02\"\nend\n",
        "loop:\npush 1\npush 2\njz loop\nend\n",
    };
    int k = 0;
    for (const char* source : sources) {
        const AssembledScript script = AssembleScript(source);
        if (!script.Ok)
            throw std::runtime_error("script seed " + std::to_string(k) + ": " + script.Error);
        seeds.Add("seed" + std::to_string(k++) + ".mes", script.File);
    }
    // The variant with the command groups that need no window: each group's sizing and files.
    const SeedFolder command_seeds(root, "script_commands");
    const char* const command_sources[] = {
        "line 1\nlib 14, 0, 16, 4, 31700, 96\nlib 14, 2, 5\nlib 14, 12, 5\nend\n",
        "line 1\nlib 22, 0, 50\ntext \"あ\"\nlib 22, 3\nlib 22, 5, 0\nend\n",
        "line 1\nlib 24, 0, 4000\nlib 24, 3\nlib 24, 2\nend\n",
        "line 1\nlib 14, 0, 16, 4, 4, 96\nlib 11, 0, 3\nlib 27, 0, 1\nend\n",
    };
    k = 0;
    for (const char* source : command_sources) {
        const AssembledScript script = AssembleScript(source);
        if (!script.Ok)
            throw std::runtime_error("command seed " + std::to_string(k) + ": " + script.Error);
        command_seeds.Add("seed" + std::to_string(k++) + ".mes", script.File);
    }
}

void WriteValueTableSeeds(const std::filesystem::path& root)
{
    const SeedFolder seeds(root, "script_value_table");
    // Two records: key 0x00010002 with an integer and a text, key 0x00020000 with nothing.
    Bytes table;
    PutLittleEndian32(table, 2);
    PutLittleEndian32(table, 0x00010002);
    PutLittleEndian32(table, 2);
    PutLittleEndian32(table, 1); // integer
    PutLittleEndian32(table, 42);
    PutLittleEndian32(table, 0);
    PutLittleEndian32(table, 2); // text
    PutLittleEndian32(table, 0);
    const std::string text = "名前";
    PutLittleEndian32(table, static_cast<uint32_t>(text.size()));
    table.insert(table.end(), text.begin(), text.end());
    PutLittleEndian32(table, 0x00020000);
    PutLittleEndian32(table, 0);
    seeds.Add("save.values", table);
    seeds.Add("written.values", WriteSaveDataFile(ParseSaveDataListing("record 1 2\nvalue 42\nvalue text 名前\n"
                                                                         "record 3 0\nrecord 65535 65535\nvalue -1\n")));
}

void WriteWaveSeeds(const std::filesystem::path& root)
{
    const SeedFolder seeds(root, "wave");
    WavContents stereo;
    for (int k = 0; k < 4000; ++k)
        stereo.samples.push_back(static_cast<uint8_t>(k * 7));
    seeds.Add("stereo.wav", WriteWav(stereo));
    WavContents looped = stereo;
    looped.loop = WavLoop{.start = 100, .end = 900};
    seeds.Add("looped.wav", WriteWav(looped));
    WavContents mono = stereo;
    mono.channels = 1;
    mono.bits = 8;
    mono.rate = 22050;
    seeds.Add("mono8.wav", WriteWav(mono));
    WavContents extensible = stereo;
    extensible.extensible = true;
    extensible.before_data.push_back({"LIST", {1, 2, 3}});
    seeds.Add("extensible.wav", WriteWav(extensible));
}

void WriteFlagBufferSeeds(const std::filesystem::path& root)
{
    const SeedFolder seeds(root, "flag_buffer");
    seeds.Add("empty.flag", WriteFlagFile(FlagFileContents{}));
    seeds.Add("state.flag", WriteFlagFile(ParseFlagListing("name 名前\nvalues 56\nvalue 12 3000\nvalue 53 text スプライト\n"
                                                           "flags 8010\nflag 8005 3\nwords 4\nword 1 65535\n"
                                                           "variables 81\nvariable 80 1\nvariable 2 text abc\n"
                                                           "bytes 3\nbyte 2 255\n")));
}

void WriteTownMapSeeds(const std::filesystem::path& root)
{
    const SeedFolder walk(root, "walk_map");
    walk.Add("small.map", BuildWalkMap({"#.8", ".#.", "4.."}));
    walk.Add("empty.map", BuildWalkMap({}));
    MoverBlockSpec spec;
    spec.movers = {{0x51, 0, 1, 2, 3, 3, 0x10, 0}, {0x01, 1, 2, 2, 5, 5, 0, 1}};
    spec.programs = {{{14, 0}}, {{2, 3}, {9, 15}, {6, 2}, {0, 0}}};
    spec.view_points = {0, 0, 3, 3};
    spec.patterns = std::vector<uint16_t>(160, 7);
    const SeedFolder movers(root, "mover_block");
    movers.Add("two.bin", BuildMoverBlock(spec));
    movers.Add("none.bin", BuildMoverBlock({}));
    const SeedFolder areas(root, "event_areas");
    areas.Add("two.dat", BuildEventAreaFile({{1, 0, 0, 4, 4, 15}, {2, 5, 5, 9, 9, 8}}));
    areas.Add("unended.dat", BuildEventAreaFile({{1, 0, 0, 4, 4, 15}}, false));
}

void WriteHitAreaSeeds(const std::filesystem::path& root)
{
    const SeedFolder seeds(root, "hit_area_table");
    const std::vector<AreaRecord> records = {{1, 10, 10, 110, 40}, {2, 0, 0, 1280, 720}, {0xFFFFFFFF, -5, -5, 0, 0}};
    seeds.Add("screen.area", BuildAreaFile(records));
    seeds.Add("empty.area", BuildAreaFile({}));
    seeds.Add("overcount.area", BuildAreaFile(records, 4));
}

void WriteCastNameSeeds(const std::filesystem::path& root)
{
    const SeedFolder seeds(root, "cast_names");
    seeds.Add("castnames.txt", FromText(WriteCastNames(DemoCastNames())));
    seeds.Add("crlf.txt", FromText("\xEF\xBB\xBFheroine00.given\t名\r\n\r\nunknown\tx\r\nheroine00.given\tsecond\r\n"));
}

void WriteCGTableSeeds(const std::filesystem::path& root)
{
    const SeedFolder seeds(root, "cg_tables");
    auto pair = [](const CGTableFiles& files) { return FromText(files.list + std::string(1, '\0') + files.compose); };
    seeds.Add("small.txt", pair(WriteCGTables({{0, 3, "cg_r01.akb"}, {0, 1, "cg_r02.akb"}, {2, 2, "cg_f01.akb"}})));
    seeds.Add("overlays.txt", pair(WriteCGTables({{0, 2, "cg_k11.akb"}},
                                                 {{0, "k11.akb", {}}, {1, "k11.akb", {"k11e.akb", "k11f.akb"}}})));
}

void WriteOggSeeds(const std::filesystem::path& root)
{
    const SeedFolder seeds(root, "ogg");
    // The first byte: bit 0 8-bit mono output, bit 1 the entry behind other bytes of its file.
    const auto add = [&seeds](const std::string& name, uint8_t mode, const Bytes& file) {
        Bytes seed = {mode};
        seed.insert(seed.end(), file.begin(), file.end());
        seeds.Add(name, seed);
    };
    OggContents mono;
    mono.samples = SineSamples(4410, 1, 440, 8000);
    const Bytes tone = WriteOgg(mono);
    add("mono.ogg", 0, tone);
    OggContents looped;
    looped.channels = 2;
    looped.rate = 22050;
    looped.samples = SineSamples(22050, 2, 330, 12000, 22050);
    looped.comments = OggLoopComments(1000, 20000);
    add("looped.ogg", 3, WriteOgg(looped));
    add("cut.ogg", 1, CutAfterIdentification(tone));
    add("longer.ogg", 2, WithLastGranule(tone, 44100 * 3));
}

void WriteFaceVoiceSeeds(const std::filesystem::path& root)
{
    const SeedFolder seeds(root, "face_voice");
    const std::vector<FaceVoiceRecord> three = {{100, 1, 2, 0}, {250, -1, 0, 0}, {400, 3, 4, 0}};
    seeds.Add("three.fv", WriteFaceVoiceTable(three));
    seeds.Add("claims.fv", WriteFaceVoiceTable(three, 9));
    seeds.Add("cut.fv", WriteFaceVoiceTable(three, std::nullopt, 4 + 16 * 2 + 7));
    seeds.Add("none.fv", WriteFaceVoiceTable({}));
}

void WriteReadBufferSeeds(const std::filesystem::path& root)
{
    const SeedFolder seeds(root, "read_buffer");
    // The first two bytes: the buffer's message count, little-endian.
    const auto add = [&seeds](const std::string& name, uint16_t messages, const std::string& listing) {
        Bytes seed = {static_cast<uint8_t>(messages), static_cast<uint8_t>(messages >> 8)};
        const Bytes file = WriteGameFile(GameFileKind::ReadBuffer, listing);
        seed.insert(seed.end(), file.begin(), file.end());
        seeds.Add(name, seed);
    };
    add("same.dat", 800, "messages 800\nread 0\nread 399\nread 799\n");
    add("shorter.dat", 800, "messages 400\nread 7\n");
    add("longer.dat", 16, "messages 64\nread 1\nread 63\n");
}

void WriteMediaFileSeeds(const std::filesystem::path& root)
{
    const SeedFolder seeds(root, "media_file");
    MpegClipOptions clip;
    clip.width = 64;
    clip.height = 48;
    clip.frames = 3;
    clip.audio = false;
    seeds.Add("plain.mpg", WriteMpegClip(clip));
    clip.vsd_header = 16;
    seeds.Add("vsd.mpg", WriteMpegClip(clip));
    seeds.Add("vsd-header-only.mpg", Bytes{'V', 'S', 'D', '1', 4, 0, 0, 0, 1, 2, 3, 4});

    const SeedFolder container_seeds(root, "movie_container");
    clip.vsd_header = -1;
    clip.frames = 2;
    container_seeds.Add("video.mpg", WriteMpegClip(clip));
    clip.audio = true;
    container_seeds.Add("sound.mpg", WriteMpegClip(clip));

    const SeedFolder pipeline_seeds(root, "movie_pipeline");
    clip.frames = 4;
    clip.audio = false;
    pipeline_seeds.Add("video.mpg", WriteMpegClip(clip));
    clip.audio = true;
    pipeline_seeds.Add("sound.mpg", WriteMpegClip(clip));
    // A first picture the screen can show, then headers that announce one it cannot.
    clip.width = 64;
    clip.height = 64;
    clip.audio = false;
    clip.resize_from = 1;
    clip.resize_width = 16383;
    clip.resize_height = 16000;
    pipeline_seeds.Add("grows.mpg", WriteMpegClip(clip));
}

} // namespace

// A slot move journal: "VSMJ", the version (1: the hash is the system file's table's, 2: the
// whole system file's), the hash, the system file, the new files and the renames (each name a u16
// length and its bytes), then the FNV-1a of all that, low 32 bits.
Bytes MakeSlotMoveJournal(uint32_t version, const std::vector<std::string>& new_files,
                          const std::vector<std::pair<std::string, std::string>>& renames)
{
    Bytes out;
    const auto put16 = [&](uint32_t value) {
        out.push_back(static_cast<uint8_t>(value));
        out.push_back(static_cast<uint8_t>(value >> 8));
    };
    const auto put32 = [&](uint32_t value) {
        put16(value & 0xFFFF);
        put16(value >> 16);
    };
    const auto name = [&](const std::string& text) {
        put16(static_cast<uint32_t>(text.size()));
        out.insert(out.end(), text.begin(), text.end());
    };
    put32(0x4A4D5356);
    put32(version);
    put32(0x89ABCDEF);
    put32(0x01234567);
    name("FLAG000");
    put16(static_cast<uint32_t>(new_files.size()));
    for (const std::string& file : new_files)
        name(file);
    put16(static_cast<uint32_t>(renames.size()));
    for (const auto& [from, to] : renames) {
        name(from);
        name(to);
    }
    uint64_t hash = 0xCBF29CE484222325ull;
    for (uint8_t byte : out)
        hash = (hash ^ byte) * 0x100000001B3ull;
    put32(static_cast<uint32_t>(hash));
    return out;
}

void WriteSlotSeeds(const std::filesystem::path& root)
{
    const SeedFolder journal_seeds(root, "slot_move_journal");
    journal_seeds.Add("save.jnl", MakeSlotMoveJournal(2, {"FLAG201", "SaveData201.dat", "thm201"},
                                                      {{"FLAG300", "FLAG300.drop"},
                                                       {"FLAG299", "FLAG300"},
                                                       {"SP_thm201", "SP_thm202"}}));
    journal_seeds.Add("delete.jnl", MakeSlotMoveJournal(2, {}, {{"sel005", "sel005.drop"}, {"sel006", "sel005"}}));
    journal_seeds.Add("older.jnl", MakeSlotMoveJournal(1, {"FLAG001"}, {{"FLAG001", "FLAG001.drop"}}));
    // The recovery's input: a mode byte (1 checksum set right, 2 the system file's hash as the one
    // written last, 4 as the one replaced, 8 the newest version, 16 renames marked made), then
    // records of a name's index, a u16 length and the bytes: the journal first, then the files.
    const auto record = [](Bytes& out, uint8_t index, const Bytes& bytes) {
        out.push_back(index);
        out.push_back(static_cast<uint8_t>(bytes.size()));
        out.push_back(static_cast<uint8_t>(bytes.size() >> 8));
        out.insert(out.end(), bytes.begin(), bytes.end());
    };
    const Bytes system =
        WriteSystemFlagFile(ParseSlotTableListing("slot 1 money 7\nslot 2 money 6\ncontinue 1\n"), 1, 1, 0);
    const auto save = [](int money) {
        return WriteFlagFile(
            ParseFlagListing("value 55 4096\nvariables 60\nbytes 4\nbyte 0 " + std::to_string(money) + "\n"));
    };
    const Bytes data = WriteSaveDataFile(ParseSaveDataListing("record 7 0\nvalue 1\n"));
    const Bytes journal = MakeSlotMoveJournal(2, {"FLAG001", "SaveData001.dat"},
                                              {{"FLAG002", "FLAG002.drop"},
                                               {"SaveData002.dat", "SaveData002.dat.drop"},
                                               {"FLAG001", "FLAG002"},
                                               {"SaveData001.dat", "SaveData002.dat"}});
    const SeedFolder recovery_seeds(root, "slot_move_recovery");
    // Names by their index in the target's list.
    constexpr uint8_t FLAG000 = 0, FLAG001 = 1, FLAG002 = 2, DATA001 = 4, DATA002 = 5, FLAG002_DROP = 12,
                      DATA002_DROP = 15;
    for (const auto& [name, mode] : {std::pair{"written.rec", 0x1B},
                                     {"replaced.rec", 0x15},
                                     {"other.rec", 0x19},
                                     {"unmarked.rec", 0x05},
                                     {"damaged.rec", 0x10}}) {
        Bytes input{static_cast<uint8_t>(mode)};
        record(input, 0, mode == 0x10 ? Bytes{1, 2, 3} : journal);
        record(input, FLAG000, system);
        record(input, FLAG001, save(7));
        record(input, DATA001, data);
        record(input, FLAG002, save(6));
        record(input, DATA002, data);
        record(input, FLAG002_DROP, save(5));
        record(input, DATA002_DROP, data);
        recovery_seeds.Add(name, input);
    }
    const SeedFolder table_seeds(root, "slot_table");
    table_seeds.Add("table.flag", WriteSystemFlagFile(ParseSlotTableListing("slot 1 date 1301 money 500 comment メモ\n"
                                                                            "slot 101\nslot 201 saved 2026 12 7 1 2 3\n"
                                                                            "last 101\ncontinue 201\n"),
                                                      1, 1, 1));
    table_seeds.Add("short.flag", WriteFlagFile(ParseFlagListing("bytes 200\nbyte 0 1\n")));
    const SeedFolder thumbnail_seeds(root, "thumbnail");
    const std::vector<uint8_t> thumbnail = WriteThumbnailFile([](int x, int y) { return uint32_t(x * 256 + y); });
    thumbnail_seeds.Add("pattern.thm", thumbnail);
    thumbnail_seeds.Add("short.thm", std::vector<uint8_t>(thumbnail.begin(), thumbnail.end() - 4));
}

void WriteFuzzSeeds(const std::filesystem::path& root)
{
    WriteXmlSeeds(root);
    WriteArchiveSeeds(root);
    WriteLzssSeeds(root);
    WriteLangTextSeeds(root);
    WriteFlagSeeds(root);
    WriteAkbSeeds(root);
    WriteScriptSeeds(root);
    WriteValueTableSeeds(root);
    WriteWaveSeeds(root);
    WriteFlagBufferSeeds(root);
    WriteHitAreaSeeds(root);
    WriteCastNameSeeds(root);
    WriteCGTableSeeds(root);
    WriteOggSeeds(root);
    WriteFaceVoiceSeeds(root);
    WriteReadBufferSeeds(root);
    WriteMediaFileSeeds(root);
    WriteSlotSeeds(root);
    WriteTownMapSeeds(root);
}

} // namespace tools
