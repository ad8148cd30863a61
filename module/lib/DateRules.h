// Date arithmetic on "yyyymmdd" texts shared by condition sets and periodic jobs: dates
// relative to a base date, the first run date of a periodic schedule, and the re-evaluation of
// a job's relative condition dates against its run date. Every routine is stateless and
// answers an empty text on bad input instead of raising.
#pragma once

#include <string>
#include <string_view>

#include "platform/rtl/Variants.h"

// Days of the month (28 to 31); 0 when the month is outside 1..12.
int DaysInMonth(int year, int month);

// The date shifted by count years ("Y"), months ("M") or days ("D"), unit in any case, as
// "yyyymmdd". date is a "yyyymmdd" text (byte or wide string) or a date value. A day that does
// not exist after a year or month shift is lowered to the month's last day. Empty when the date
// does not read, is 0, the unit is none of the three, or the result leaves the calendar.
std::string AddToYmd(const rtl::Variant& date, std::string_view unit, int count);

// The date n periods away from base, by a relative-date rule of integer texts. A month base
// (fewer than 7 characters, "yyyymm") moves by n months and answers "yyyymm". A day base moves
// by n months (unit other than "0") and then, by anchor: 0 adds offset days, 1 takes the first
// and 2 the last day of the month; or by n weeks (unit "0"): anchor "0" adds n weeks and offset
// days, any other anchor goes to that week's boundary (see WeekBoundary). Empty on any error.
std::string RelativeDate(std::string_view base, std::string_view n, std::string_view unit,
                         std::string_view anchor, std::string_view offset);

// The Sunday (anchor "1") or Saturday (any other anchor) of the week n weeks after the base
// day, as "yyyymmdd"; weeks run from Sunday to Saturday. Empty on any error.
std::string WeekBoundary(std::string_view base, std::string_view n, std::string_view anchor);

// The first run on or after the start day of a periodic schedule, as "yyyymmdd". period is
// the option form's array [kind, parameters]: 0 daily [0, N], 1 weekly [1, [N, week day 0..6]],
// 2 monthly [2, [0, N, day of month]] or [2, [1, N, occurrence 0..4 (4 = last), week day]],
// 3 hourly. Counts may be integers or integer texts. Empty for the hourly kind and on any error
// (a missing element, a count that does not read, a value out of its range).
std::string FirstRunDate(std::string_view start, const rtl::Variant& period);

// A copy of the condition value array (job element 1) with every relative date of the rule
// list (job element 3: [count, rule texts...]) re-evaluated against the run date. Entries whose
// rules are not relative stay as they are. Any error abandons the whole evaluation and answers
// an empty text.
rtl::Variant ShiftConditionDates(const rtl::Variant& job, std::string_view runDate);
