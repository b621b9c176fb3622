#pragma once
// Message maps: each class keeps an ordered table of entries that bind a window
// message (or a command with its notification code and control id) to a member.
#include <windows.h>

class CCmdTarget;
typedef void (CCmdTarget::*AFX_PMSG)();
typedef HCURSOR (CCmdTarget::*AFX_PMSG_CURSOR)();
typedef BOOL (CCmdTarget::*AFX_PMSG_BOOL)();

enum AfxSig {
    AfxSig_end = 0,
    AfxSig_vv,  // void Handler()
    AfxSig_hv,  // HCURSOR Handler()
    AfxSig_bv,  // BOOL Handler()
};

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;
    UINT nCode;
    UINT nID;
    AfxSig nSig;
    AFX_PMSG pfn;               // for AfxSig_vv
    AFX_PMSG_CURSOR pfnCursor;  // for AfxSig_hv
    AFX_PMSG_BOOL pfnBool;      // for AfxSig_bv
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define afx_msg

#define DECLARE_MESSAGE_MAP()                        \
public:                                              \
    static const AFX_MSGMAP* GetThisMessageMap();    \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                  \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                             \
    {                                                                           \
        using ThisClass [[maybe_unused]] = theClass;                            \
        using TheBaseClass = baseClass;                                         \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                       \
            { 0, 0, 0, AfxSig_end, nullptr, nullptr, nullptr }                                  \
        };                                                                      \
        static const AFX_MSGMAP messageMap = { &TheBaseClass::GetThisMessageMap, entries }; \
        return &messageMap;                                                     \
    }

#define AFX_VV(memberFn) \
    static_cast<AFX_PMSG>(static_cast<void (ThisClass::*)()>(memberFn))

#define ON_COMMAND(id, memberFn) { WM_COMMAND, 0, (id), AfxSig_vv, AFX_VV(memberFn), nullptr, nullptr },
#define ON_BN_CLICKED(id, memberFn) { WM_COMMAND, BN_CLICKED, (id), AfxSig_vv, AFX_VV(memberFn), nullptr, nullptr },
// A message of the program's own (WM_APP and up), handled by void Handler().
#define ON_MESSAGE_VOID(message, memberFn) { (message), 0, 0, AfxSig_vv, AFX_VV(memberFn), nullptr, nullptr },
#define ON_WM_PAINT() { WM_PAINT, 0, 0, AfxSig_vv, AFX_VV(&ThisClass::OnPaint), nullptr, nullptr },
#define ON_WM_QUERYDRAGICON()                                                   \
    { WM_QUERYDRAGICON, 0, 0, AfxSig_hv, nullptr,                               \
      static_cast<AFX_PMSG_CURSOR>(                                             \
          static_cast<HCURSOR (ThisClass::*)()>(&ThisClass::OnQueryDragIcon)), nullptr },
// The answer to whether the session may end: FALSE keeps it going.
#define ON_WM_QUERYENDSESSION()                                                 \
    { WM_QUERYENDSESSION, 0, 0, AfxSig_bv, nullptr, nullptr,                    \
      static_cast<AFX_PMSG_BOOL>(static_cast<BOOL (ThisClass::*)()>(&ThisClass::OnQueryEndSession)) },
