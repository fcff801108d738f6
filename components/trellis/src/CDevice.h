// What the engine's objects need of a drive beyond its interface: the disc
// in it as a medium to read.
#pragma once
#include "ComObject.h"
#include "DiscMedium.h"
#include "KeptParse.h"
#include "TrellisInterfaces.h"

#include <memory>

class CDevice : public ITrellisDevice, public ComObject {
public:
    // The disc (or image) in the drive, opened for reading;
    // TRELLIS_E_NO_DISC when empty, E_ACCESSDENIED without permission.
    virtual HRESULT OpenMedium(std::unique_ptr<DiscMedium>& medium) = 0;

    // The last tree a reader of this drive parsed from an image.
    KeptParse& LastParse() { return m_lastParse; }

    // The device of an interface pointer handed in by a caller; nullptr
    // when it is not one of ours.
    static CDevice* From(ITrellisDevice* device) { return dynamic_cast<CDevice*>(device); }

    // Checks an attach request: E_POINTER without a device, E_INVALIDARG
    // for one that is not ours; on S_OK *ours is the device, not yet held.
    static HRESULT CheckAttach(ITrellisDevice* device, CDevice** ours)
    {
        if (!device) return E_POINTER;
        *ours = From(device);
        return *ours ? S_OK : E_INVALIDARG;
    }

private:
    KeptParse m_lastParse;
};
