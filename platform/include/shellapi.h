// The shell's "open this" request, headless: nothing is ever started. Each
// request is recorded (qm_user_shell_requests in qm_user.h) and answered as
// the shell would answer it. Implemented by qmuser.
#pragma once

#include <windows.h>

#define SE_ERR_FNF 2
#define SE_ERR_PNF 3
#define SE_ERR_NOASSOC 31
// A value above 32 on success. A URL (a scheme of two or more letters,
// then ':') is always accepted; a file or folder must exist (SE_ERR_FNF
// otherwise, also for a null or empty file). Only the verbs "open" (in any
// case) and null (the default, open) are known: any other answers
// SE_ERR_NOASSOC.
HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, int show);
