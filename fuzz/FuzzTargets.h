#pragma once
// The fuzz targets, one per reader of data from disk or an archive. Each takes one input as the
// reader would find it and must neither crash, hang nor allocate without bound on any input.
// scripts/fuzz.sh runs them under libFuzzer; the test suite replays their seed corpora and every
// saved crash or hang input (fuzz/regressions/<name>/) through the same functions.

#include <cstddef>
#include <cstdint>
#include <span>

int FuzzXmlDocument(const uint8_t* data, size_t size);
int FuzzArchive(const uint8_t* data, size_t size);
int FuzzLzss(const uint8_t* data, size_t size);
int FuzzLangTextTable(const uint8_t* data, size_t size);
int FuzzFlagArc(const uint8_t* data, size_t size);
int FuzzAkb(const uint8_t* data, size_t size);
int FuzzScript(const uint8_t* data, size_t size);
int FuzzScriptValueTable(const uint8_t* data, size_t size);
int FuzzWave(const uint8_t* data, size_t size);
int FuzzFlagBuffer(const uint8_t* data, size_t size);
int FuzzHitAreaTable(const uint8_t* data, size_t size);
int FuzzCastNames(const uint8_t* data, size_t size);
int FuzzOgg(const uint8_t* data, size_t size);
int FuzzFaceVoice(const uint8_t* data, size_t size);
int FuzzReadBuffer(const uint8_t* data, size_t size);
int FuzzMediaFile(const uint8_t* data, size_t size);
int FuzzSlotTable(const uint8_t* data, size_t size);
int FuzzThumbnail(const uint8_t* data, size_t size);
int FuzzCGTables(const uint8_t* data, size_t size);
int FuzzWalkMap(const uint8_t* data, size_t size);
int FuzzMoverBlock(const uint8_t* data, size_t size);
int FuzzEventAreas(const uint8_t* data, size_t size);
int FuzzSlotMoveJournal(const uint8_t* data, size_t size);
int FuzzSlotMoveRecovery(const uint8_t* data, size_t size);
int FuzzScriptCommands(const uint8_t* data, size_t size);
int FuzzMovieContainer(const uint8_t* data, size_t size);
int FuzzMoviePipeline(const uint8_t* data, size_t size);

struct FuzzTarget
{
    const char* name; // also the folder of its corpus and its saved inputs
    int (*entry)(const uint8_t* data, size_t size);
};

inline constexpr FuzzTarget FUZZ_TARGETS[] = {
    {"xml_document", FuzzXmlDocument},
    {"archive", FuzzArchive},
    {"lzss", FuzzLzss},
    {"lang_text_table", FuzzLangTextTable},
    {"flag_arc", FuzzFlagArc},
    {"akb", FuzzAkb},
    {"script", FuzzScript},
    {"script_value_table", FuzzScriptValueTable},
    {"wave", FuzzWave},
    {"flag_buffer", FuzzFlagBuffer},
    {"hit_area_table", FuzzHitAreaTable},
    {"cast_names", FuzzCastNames},
    {"ogg", FuzzOgg},
    {"face_voice", FuzzFaceVoice},
    {"read_buffer", FuzzReadBuffer},
    {"media_file", FuzzMediaFile},
    {"slot_table", FuzzSlotTable},
    {"thumbnail", FuzzThumbnail},
    {"cg_tables", FuzzCGTables},
    {"walk_map", FuzzWalkMap},
    {"mover_block", FuzzMoverBlock},
    {"event_areas", FuzzEventAreas},
    {"slot_move_journal", FuzzSlotMoveJournal},
    {"slot_move_recovery", FuzzSlotMoveRecovery},
    {"script_commands", FuzzScriptCommands},
    {"movie_container", FuzzMovieContainer},
    {"movie_pipeline", FuzzMoviePipeline},
};
