#pragma once
// The document's picture archive set over "layer.arc": a layer file with no behaviour of its own.

#include "graphics/CLayerFile.h"

class CSpriteLayerFile : public CLayerFile
{
public:
    using CLayerFile::CLayerFile;
};
