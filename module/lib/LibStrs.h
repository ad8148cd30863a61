// The general routines every unit uses: packed field texts, dates as texts in the user's date
// order, variants and their code-page conversion, dialog button captions, and alert logs.
#pragma once

#include <string>
#include <string_view>

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Variants.h"

// ---- Packed field texts ----------------------------------------------------------------------

// The n-th field (from 1) of a text whose fields are separated by sep; empty past the last.
std::string GetField(std::string_view text, std::string_view sep, int n);
// Separator occurrences plus one; 0 for an empty text.
int FieldCount(std::string_view text, std::string_view sep);
// The text before the first separator; text keeps what follows it (or becomes empty).
std::string CutField(std::string& text, std::string_view sep);
// Every occurrence of oldText replaced by newText, rescanning from the start after each one;
// nothing is replaced when the two are equal without regard to case.
std::string ReplaceText(std::string_view text, std::string_view oldText, std::string_view newText, bool trim);

// ---- Dates -----------------------------------------------------------------------------------

// Date order codes: 1 y-m-d, 2 m-d-y, 3 d-m-y, 4 and 5 y-m-d in Republic-of-China years with at
// least two and three digits.
std::string DateToText(int orderCode, std::string_view sep, rtl::TDateTime date);
std::string MonthToText(int orderCode, std::string_view sep, rtl::TDateTime date);
rtl::TDateTime TextToDate(std::string_view text, int orderCode, std::string_view sep);
rtl::TDateTime YmdToDate(std::string_view ymd);
bool IsValidYmd(std::string_view ymd);

// ---- Variants, environment and numbers ---------------------------------------------------------

rtl::Variant VarIIf(bool flag, const rtl::Variant& a, const rtl::Variant& b);
bool VarIsBlank(const rtl::Variant& v);
std::string GetTempFolder();  // ends with "/"
bool IsLocalHost(std::string_view address);
double StrToFloatDefault(std::string_view text, double def);
std::u16string PackVarList(std::string_view head, const rtl::Variant& list);

// ---- Code pages --------------------------------------------------------------------------------

std::string WideToAnsiCP(std::u16string_view text, int codePage);
std::u16string AnsiToWideCP(std::string_view text, int codePage);
rtl::Variant VarToAnsiCP(const rtl::Variant& v, int codePage);
rtl::Variant VarToWideCP(const rtl::Variant& v, int codePage);

// ---- Dialogs -----------------------------------------------------------------------------------

std::string ButtonCaption(std::string_view buttonName);

// ---- Alert logs --------------------------------------------------------------------------------

// The launcher's folder from the registry ("ClientPath", else "ServerPath"), as stored.
std::string GetLauncherFolder();
bool WriteAlertLog(std::string_view source, std::string_view text, std::string_view period);
bool WriteDownloadLog(std::string_view source, std::string_view text, std::string_view period);
// Appends "[" + stamp + "] " + text as one line to baseFolder/Log/fileName, creating the folders;
// false on any failure. The three log writers share it.
bool WriteLogLine(const std::string& baseFolder, const std::string& fileName, std::string_view stamp,
                  std::string_view text);

// ---- Published properties by name ---------------------------------------------------------------
// Looked up in the object's published-property table at call time. A missing property, an empty
// name, no object, or a property of another kind: the getters answer empty (0, an unassigned
// handler) and the setters do nothing.

#include "platform/ui/TypInfo.h"

ui::TMethod GetMethodPropByName(const ui::TObject* obj, std::string_view name);
std::string GetStrPropByName(const ui::TObject* component, std::string_view name);
int64_t GetOrdPropByName(const ui::TObject* control, std::string_view name);
void SetStrPropByName(ui::TObject* component, std::string_view name, const std::string& value);
void SetOrdPropByName(ui::TObject* obj, std::string_view name, int64_t value);
void SetMethodPropByName(ui::TObject* obj, std::string_view name, const ui::TMethod& handler);
bool HasProperty(const ui::TObject* component, std::string_view name);
