#pragma once
#include "afx/afx.h"

// The application: runs the main dialog modally, then lets the framework end.
class CParvaneApp : public CWinAppEx {
public:
    CParvaneApp();
    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};
