#pragma once
// CObject and CCmdTarget: the roots of the framework's classes; a command
// target finds handlers in its message map chain.
#include "afxmsgmap.h"

class CObject {
public:
    virtual ~CObject() = default;
};

class CCmdTarget : public CObject {
public:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // The first entry, walking this class's map and then its bases', that
    // matches; null when none does.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT message, UINT code, UINT id) const;
    // Runs the command handler for (id, code) if the map has one.
    bool OnCmdMsg(UINT id, UINT code);
    LRESULT CallEntry(const AFX_MSGMAP_ENTRY& entry);
};
