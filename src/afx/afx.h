#pragma once
// The program's framework layer: the classic dialog framework's names, holding
// only what the program uses.
#include "afxapp.h"
#include "afxdlg.h"
#include "afxexcept.h"
#include "afxfile.h"
#include "afxhandle.h"
#include "afxstr.h"
#include "afxwnd.h"
