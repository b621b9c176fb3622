#include "afxcmd.h"

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = { { 0, 0, 0, AfxSig_end, nullptr, nullptr, nullptr } };
    static const AFX_MSGMAP messageMap = { nullptr, entries };
    return &messageMap;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT message, UINT code, UINT id) const
{
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->nSig != AfxSig_end; ++entry) {
            if (entry->nMessage == message && entry->nCode == code && entry->nID == id)
                return entry;
        }
    }
    return nullptr;
}

bool CCmdTarget::OnCmdMsg(UINT id, UINT code)
{
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(WM_COMMAND, code, id);
    if (!entry)
        return false;
    CallEntry(*entry);
    return true;
}

LRESULT CCmdTarget::CallEntry(const AFX_MSGMAP_ENTRY& entry)
{
    switch (entry.nSig) {
    case AfxSig_vv:
        (this->*entry.pfn)();
        return 0;
    case AfxSig_hv:
        return reinterpret_cast<LRESULT>((this->*entry.pfnCursor)());
    case AfxSig_bv:
        return (this->*entry.pfnBool)();
    default:
        return 0;
    }
}
