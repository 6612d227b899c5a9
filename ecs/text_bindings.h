#pragma once
// The SysText_ builtins.

#include "script/builtin.h"

Value SysTextAdd(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysTextRemove(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysTextInstallFont(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysTextSetDefaultFont(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysTextRefresh(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysTextSetText(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysTextSetFont(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysTextSetFontSize(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysTextSetFontBold(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysTextSetFontColorRainbow(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysTextSetFontColorTop(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysTextSetFontColorBottom(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysTextSetFontBorderWidth(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysTextSetFontBorderType(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysTextSetFontBorderColor(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysTextSetMaxWidth(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysTextSetMaxHeight(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysTextShowControlCharacters(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysTextSetSyntacticAnalysis(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysTextGetTextLengthVisible(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysTextGetTextLength(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysTextGetTextLengthCU(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysTextGetTextLinebreaks(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysTextGetTotalWidth(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value SysTextGetTotalHeight(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
