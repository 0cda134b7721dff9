#pragma once
// Assembler for compiled script files, for tests and test data. It writes the whole file: the
// two table counts, the resume and choice tables and the bytecode.
//
// Source: UTF-8 text, one statement per line; ';' starts a comment outside quotes. A line may
// begin with labels ("name:"). Operands are separated by commas or blanks:
//   integers   12, -3, 0x1F          labels   name
//   "text"     UTF-8 bytes ("\n", "\"", "\\" and "\xHH" escapes)
//   sj"text"   the same text in CP932        x"82 A0 01"   raw bytes in hexadecimal
//
// Directives:
//   .resume label          appends the label's offset to the resume table
//   .choice label          appends the label's offset to the choice table
// Instructions (opcode bytes in hexadecimal):
//   end 00, return 01
//   ldflag ldword ldvalue ldvar ldlocal ldbyte ldbyte16 ldbyte32 [i]   02-09
//   stflag stword stvalue stvar stlocal stbyte stbyte16 stbyte32 [i]   0C-13
//       with an operand, the index is pushed first (a store takes its value from the stack)
//   jz label, jmp label     14 / 15 with the label's offset (or an integer offset)
//   resume k, choicepoint k 19 / 1A; k is a table index or a label listed by .resume/.choice
//   push operand            32 and the integer, or 33 and the text bytes and 00
//   add sub mul div mod rand and or band bor lt gt le ge eq ne          34-43
//   drop3 FE; line [n]      FF, pushing n first when given
//   func id, n ... endfunc  defines a script function with n parameters: pushes n and id,
//                           16 with the offset after endfunc; the body ends with return
//   call id                 pushes id, 17
//   lib id, sub, a1, a2 ... a library call; a1, a2 ... in the order the group pops them, so
//                           they are pushed last one first, then sub and id, then 18
//   branch value, label     pushes value, 1B with the label: the branch body follows
//   choice value ... endchoice   the same, the label after endchoice
//   text "..."              story text in CP932 with the one-byte forms of the characters
//                           0x821E-0x831D, ended by 00; it starts with its first byte when that
//                           is a lead byte, else with the opcode 0A
//   text0a "..."            the same, always opened by 0A
//   textwide "..."          every character in two bytes (opened as text is)
//   text x"..."             a run of given bytes (opened as text is), ended by 00
//   rawtext "..."           0B, the UTF-8 bytes, 00
//   newline                 1C 00; shifted: 1C 01, the nested code after it ends with end
//   escape n                1C n
//   op n                    one byte; bytes b1 b2 ... or bytes x"..."  raw bytes
// Story text may only hold characters with a two-byte CP932 code whose lead byte the engine
// takes as one (0x81-0x9F, 0xE0-0xEF).

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "arcpack/ArchiveWriter.h"

namespace tools {

struct AssembledScript
{
    bool Ok = false;
    std::string Error; // "line N: reason" when not Ok
    std::vector<uint8_t> File;
};

AssembledScript AssembleScript(std::string_view source);

struct ScriptSource
{
    std::string name; // the entry name, such as "start.mes"
    std::string text;
};

struct AssembledArchive
{
    bool Ok = false;
    std::string Error; // "NAME: line N: reason" when not Ok
    std::vector<uint8_t> File;
};

// Assembles every source and packs the scripts into one script archive.
AssembledArchive BuildScriptArchive(std::span<const ScriptSource> sources, ArchiveEncoding encoding);

// The code part of an assembled file, for tests that look at offsets.
std::vector<uint8_t> CodeOf(const std::vector<uint8_t>& file);

} // namespace tools
