#pragma once
// The byte-code animation manager: carries out the programs' picture commands between sprite
// layers registered with the document by number (destination 0, source 5 unless set). Made by the
// document at start-up with a 20 ms period and run on the app-task thread.

#include "graphics/CAnimeBase.h"

class ILayer;

class CAnimeManager : public CAnimeBase
{
public:
    explicit CAnimeManager(uint32_t period = 20);

    virtual void CopyPicture(int32_t group, int32_t slot, const AnimeCommandRecord& command);
    virtual void CopyPictureColorKey(int32_t group, int32_t slot, const AnimeCommandRecord& command);
    virtual void DoNothing(int32_t group, int32_t slot, const AnimeCommandRecord& command);
    virtual void ComposePicture(int32_t group, int32_t slot, const AnimeCommandRecord& command);
    virtual void ComposePictureColorKey(int32_t group, int32_t slot, const AnimeCommandRecord& command);

    // Runs a slot's code at once up to and including its next command (then back to its start):
    // 1 when a command ran, 0 when a stop, restart or loop end came first or the code ran out.
    int32_t StepSlot(int32_t group, int32_t slot);
    // Asks running slots to finish at their next hold; true once every slot is finished or stopped.
    bool IsAllFinished();

    // A destination used instead of the registered one while set; not owned.
    void SetDestinationLayer(ILayer* layer) { m_destination_layer = layer; }

protected:
    void RunCommand(int32_t group, int32_t slot, const AnimeCommandRecord& command) override;

private:
    ILayer* Destination();
    ILayer* Source();

    int32_t m_destination_number = 0;
    int32_t m_source_number = 5;
    ILayer* m_destination_layer = nullptr; // not owned
};
