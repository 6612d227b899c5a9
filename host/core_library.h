#pragma once
// The core builtins: console output, arithmetic, trigonometry in degrees, random numbers, text
// conversions and directory listings. None of them stops a script.

#include "script/builtin.h"

Value CorePrint(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value CoreMin(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value CoreMax(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
// The trigonometric builtins and the angle conversions come with their plain functions of one real
// (CoreCosOf...), which the script machine calls itself inside computations.
Value CoreCos(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
double CoreCosOf(double x);
Value CoreSin(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
double CoreSinOf(double x);
Value CoreTan(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
double CoreTanOf(double x);
Value CoreAcos(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
double CoreAcosOf(double x);
Value CoreAsin(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
double CoreAsinOf(double x);
Value CoreAtan(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
double CoreAtanOf(double x);
Value CoreAtan2(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value CoreSrand(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value CoreRand(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value CoreToRadian(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
double CoreToRadianOf(double x);
Value CoreToDegree(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
double CoreToDegreeOf(double x);
Value CoreToString(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value CoreItoa(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value CoreRtoa(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
// rtos and vtos: the text of rtoa of the second argument; the format text is ignored.
Value CoreRtos(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value CoreAtoi(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value CoreAtor(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value CoreTrimString(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value CoreGetFilePathList(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
Value CoreGetDirectoryList(ScriptMachine& machine, int32_t argumentCount, Value* arguments);
