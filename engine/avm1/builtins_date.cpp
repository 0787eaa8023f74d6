// Date. Times are milliseconds since 1970 UTC; local time is UTC, so every
// player reads the same clock fields.
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>

#include "engine/avm1/builtins.h"

namespace velmora::avm1 {

namespace {

constexpr double kMsPerDay = 86400000.0;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Fields {
    double year, month, day, hours, minutes, seconds, ms;
};

double DaysFromCivil(double y, double m, double d) {
    // Month overflow folds into the year first.
    y += std::floor(m / 12);
    m = std::fmod(m, 12);
    if (m < 0) m += 12;
    double yy = m < 2 ? y - 1 : y;
    double era = std::floor(yy / 400);
    double yoe = yy - era * 400;
    double mp = std::fmod(m + 10, 12);  // months counted from March
    double doy = std::floor((153 * mp + 2) / 5) + d - 1;
    double doe = yoe * 365 + std::floor(yoe / 4) - std::floor(yoe / 100) + doy;
    return era * 146097 + doe - 719468;
}

double MakeTime(const Fields& f) {
    for (double v : {f.year, f.month, f.day, f.hours, f.minutes, f.seconds, f.ms})
        if (!std::isfinite(v)) return kNaN;
    double days = DaysFromCivil(std::trunc(f.year), std::trunc(f.month), std::trunc(f.day));
    double t = days * kMsPerDay + std::trunc(f.hours) * 3600000 + std::trunc(f.minutes) * 60000 +
               std::trunc(f.seconds) * 1000 + std::trunc(f.ms);
    return std::fabs(t) > 8.64e15 ? kNaN : t;
}

Fields Split(double t) {
    double days = std::floor(t / kMsPerDay);
    double msInDay = t - days * kMsPerDay;
    double z = days + 719468;
    double era = std::floor(z / 146097);
    double doe = z - era * 146097;
    double yoe = std::floor((doe - std::floor(doe / 1460) + std::floor(doe / 36524) - std::floor(doe / 146096)) / 365);
    double doy = doe - (365 * yoe + std::floor(yoe / 4) - std::floor(yoe / 100));
    double mp = std::floor((5 * doy + 2) / 153);
    double d = doy - std::floor((153 * mp + 2) / 5) + 1;
    double m = mp < 10 ? mp + 3 : mp - 9;
    double y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    return {y, m - 1, d, std::floor(msInDay / 3600000), std::floor(std::fmod(msInDay, 3600000) / 60000),
            std::floor(std::fmod(msInDay, 60000) / 1000), std::fmod(msInDay, 1000)};
}

double Now() {
    using namespace std::chrono;
    return static_cast<double>(duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
}

double ThisTime(CallContext& c) {
    Object* o = c.thisValue.AsObject();
    return o && o->Kind() == ObjectKind::Date && o->Internal().IsNumber() ? o->Internal().AsNumber() : kNaN;
}

void SetThisTime(CallContext& c, double t) {
    if (Object* o = c.thisValue.AsObject(); o && o->Kind() == ObjectKind::Date) o->SetInternal(Value::Number(t));
}

std::string DateString(double t) {
    if (std::isnan(t)) return "Invalid Date";
    static constexpr const char* days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    Fields f = Split(t);
    auto weekday = static_cast<int>(std::fmod(std::fmod(std::floor(t / kMsPerDay) + 4, 7) + 7, 7));
    char buf[96];
    std::snprintf(buf, sizeof buf, "%s %s %d %02d:%02d:%02d GMT+0000 %d", days[weekday],
                  months[static_cast<int>(f.month)], static_cast<int>(f.day), static_cast<int>(f.hours),
                  static_cast<int>(f.minutes), static_cast<int>(f.seconds), static_cast<int>(f.year));
    return buf;
}

// Field indices for getters/setters.
enum Field : int { kYear, kMonth, kDay, kHours, kMinutes, kSeconds, kMs };

double FieldOf(const Fields& f, int field) {
    const double v[] = {f.year, f.month, f.day, f.hours, f.minutes, f.seconds, f.ms};
    return v[field];
}

void SetField(Fields& f, int field, double v) {
    double* slots[] = {&f.year, &f.month, &f.day, &f.hours, &f.minutes, &f.seconds, &f.ms};
    *slots[field] = v;
}

Fields FieldsFromArgs(Vm& vm, CallContext& c) {
    Fields f{NumberArg(vm, c, 0, kNaN), NumberArg(vm, c, 1, 0), NumberArg(vm, c, 2, 1), NumberArg(vm, c, 3, 0),
             NumberArg(vm, c, 4, 0), NumberArg(vm, c, 5, 0), NumberArg(vm, c, 6, 0)};
    if (std::isfinite(f.year) && f.year >= 0 && f.year <= 99) f.year += 1900;
    return f;
}

}  // namespace

void InstallDateBuiltins(Vm& vm) {
    auto& p = vm.Protos();
    p.date = vm.NewObject();
    FunctionObject* ctor = vm.Class("Date", [](Vm& v, CallContext& c) {
        if (!c.construct) return Value::String(DateString(Now()));
        Object* o = c.thisValue.AsObject();
        if (!o) return c.thisValue;
        double t = Now();
        if (c.args.size() == 1) {
            t = v.ToNumber(c.args[0]);
        } else if (c.args.size() > 1) {
            t = MakeTime(FieldsFromArgs(v, c));
        }
        o->SetKind(ObjectKind::Date);
        o->SetInternal(Value::Number(std::isfinite(t) ? std::trunc(t) : kNaN));
        return c.thisValue;
    }, p.date);
    vm.Method(ctor, "UTC", [](Vm& v, CallContext& c) { return Value::Number(MakeTime(FieldsFromArgs(v, c))); });

    vm.Method(p.date, "getTime", [](Vm&, CallContext& c) { return Value::Number(ThisTime(c)); });
    vm.Method(p.date, "valueOf", [](Vm&, CallContext& c) { return Value::Number(ThisTime(c)); });
    vm.Method(p.date, "toString", [](Vm&, CallContext& c) { return Value::String(DateString(ThisTime(c))); });
    vm.Method(p.date, "getTimezoneOffset", [](Vm&, CallContext& c) {
        return Value::Number(std::isnan(ThisTime(c)) ? kNaN : 0);
    });
    vm.Method(p.date, "getDay", [](Vm&, CallContext& c) {
        double t = ThisTime(c);
        return Value::Number(std::isnan(t) ? kNaN : std::fmod(std::fmod(std::floor(t / kMsPerDay) + 4, 7) + 7, 7));
    });
    vm.Method(p.date, "getUTCDay", [](Vm&, CallContext& c) {
        double t = ThisTime(c);
        return Value::Number(std::isnan(t) ? kNaN : std::fmod(std::fmod(std::floor(t / kMsPerDay) + 4, 7) + 7, 7));
    });
    vm.Method(p.date, "getYear", [](Vm&, CallContext& c) {
        double t = ThisTime(c);
        return Value::Number(std::isnan(t) ? kNaN : Split(t).year - 1900);
    });
    vm.Method(p.date, "setTime", [](Vm& v, CallContext& c) {
        double t = NumberArg(v, c, 0, kNaN);
        SetThisTime(c, std::isfinite(t) ? std::trunc(t) : kNaN);
        return Value::Number(ThisTime(c));
    });

    static constexpr std::array<std::pair<const char*, int>, 7> fields = {{
        {"FullYear", kYear}, {"Month", kMonth}, {"Date", kDay}, {"Hours", kHours},
        {"Minutes", kMinutes}, {"Seconds", kSeconds}, {"Milliseconds", kMs},
    }};
    for (const char* prefix : {"", "UTC"}) {
        for (auto [name, field] : fields) {
            int index = field;
            vm.Method(p.date, std::string("get") + prefix + name, [index](Vm&, CallContext& c) {
                double t = ThisTime(c);
                return Value::Number(std::isnan(t) ? kNaN : FieldOf(Split(t), index));
            });
            // setX(a, b, c) sets this field and the following ones given.
            vm.Method(p.date, std::string("set") + prefix + name, [index](Vm& v, CallContext& c) {
                double t = ThisTime(c);
                Fields f = Split(std::isnan(t) ? 0 : t);
                for (size_t i = 0; i < c.args.size() && index + static_cast<int>(i) <= kMs; ++i)
                    SetField(f, index + static_cast<int>(i), v.ToNumber(c.args[i]));
                if (c.args.empty()) SetField(f, index, kNaN);
                SetThisTime(c, MakeTime(f));
                return Value::Number(ThisTime(c));
            });
        }
    }
    vm.Method(p.date, "setYear", [](Vm& v, CallContext& c) {
        double t = ThisTime(c);
        Fields f = Split(std::isnan(t) ? 0 : t);
        double y = NumberArg(v, c, 0, kNaN);
        f.year = std::isfinite(y) && y >= 0 && y <= 99 ? y + 1900 : y;
        SetThisTime(c, MakeTime(f));
        return Value::Number(ThisTime(c));
    });
}

}  // namespace velmora::avm1
