#pragma once
// The process document with what the interpreter benchmark needs.

class CVeskDoc;

CVeskDoc* PrepareBenchDocument();
