#pragma once
// The commands of kinovka-cli, one handler each; every handler returns the
// program's exit status. Their arguments and options are described with the
// command table (Commands.cpp).
#include "cli/CommandLine.h"

int RunNew(const Invocation& invocation);
int RunList(const Invocation& invocation);
int RunSummary(const Invocation& invocation);
int RunDump(const Invocation& invocation);
int RunFind(const Invocation& invocation);
int RunAdd(const Invocation& invocation);
int RunEdit(const Invocation& invocation);
int RunDelete(const Invocation& invocation);
int RunImport(const Invocation& invocation);
int RunExport(const Invocation& invocation);
int RunConvert(const Invocation& invocation);
int RunRescue(const Invocation& invocation);
int RunHistory(const Invocation& invocation);
int RunRestore(const Invocation& invocation);
int RunDiscs(const Invocation& invocation);
int RunDisc(const Invocation& invocation);
int RunLend(const Invocation& invocation);
int RunReturn(const Invocation& invocation);
int RunLoans(const Invocation& invocation);
