// Test helpers: a tiny action assembler and hosts that record what scripts do.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "engine/avm1/actions.h"
#include "engine/avm1/vm.h"

namespace velmora::avm1::test {

// One value of a Push action.
struct P {
    enum class K { Str, Num, Int, Bool, Null, Undef, Reg, Const } k;
    std::string s;
    double n = 0;
    P(const char* v) : k(K::Str), s(v) {}
    P(std::string v) : k(K::Str), s(std::move(v)) {}
    P(double v) : k(K::Num), n(v) {}
    P(int v) : k(K::Int), n(v) {}
    P(bool v) : k(K::Bool), n(v ? 1 : 0) {}
    static P Null() { return P(K::Null); }
    static P Undef() { return P(K::Undef); }
    static P Reg(int r) { return P(K::Reg, r); }
    static P Const(int i) { return P(K::Const, i); }

private:
    explicit P(K kind, double v = 0) : k(kind), n(v) {}
};

class Asm {
public:
    Asm& Push(std::initializer_list<P> items) {
        std::vector<uint8_t> p;
        for (const P& item : items) {
            switch (item.k) {
            case P::K::Str:
                p.push_back(0);
                p.insert(p.end(), item.s.begin(), item.s.end());
                p.push_back(0);
                break;
            case P::K::Num: {
                p.push_back(6);
                uint64_t bits;
                std::memcpy(&bits, &item.n, 8);
                auto hi = static_cast<uint32_t>(bits >> 32), lo = static_cast<uint32_t>(bits);
                Le32(p, hi);
                Le32(p, lo);
                break;
            }
            case P::K::Int:
                p.push_back(7);
                Le32(p, static_cast<uint32_t>(static_cast<int32_t>(item.n)));
                break;
            case P::K::Bool: p.insert(p.end(), {5, static_cast<uint8_t>(item.n)}); break;
            case P::K::Null: p.push_back(2); break;
            case P::K::Undef: p.push_back(3); break;
            case P::K::Reg: p.insert(p.end(), {4, static_cast<uint8_t>(item.n)}); break;
            case P::K::Const: p.insert(p.end(), {8, static_cast<uint8_t>(item.n)}); break;
            }
        }
        return Record(Op::Push, p);
    }
    Asm& Do(Op op) {
        m_bytes.push_back(static_cast<uint8_t>(op));
        return *this;
    }
    Asm& Record(Op op, const std::vector<uint8_t>& payload) {
        m_bytes.push_back(static_cast<uint8_t>(op));
        m_bytes.push_back(static_cast<uint8_t>(payload.size() & 0xFF));
        m_bytes.push_back(static_cast<uint8_t>(payload.size() >> 8));
        m_bytes.insert(m_bytes.end(), payload.begin(), payload.end());
        return *this;
    }
    Asm& Label(const std::string& name) {
        m_labels[name] = m_bytes.size();
        return *this;
    }
    Asm& Jump(const std::string& label) { return Branch(Op::Jump, label); }
    Asm& If(const std::string& label) { return Branch(Op::If, label); }
    Asm& StoreRegister(int r) { return Record(Op::StoreRegister, {static_cast<uint8_t>(r)}); }
    Asm& Pool(std::initializer_list<std::string> strings) {
        std::vector<uint8_t> p;
        Le16(p, static_cast<uint16_t>(strings.size()));
        for (const auto& s : strings) Str(p, s);
        return Record(Op::ConstantPool, p);
    }
    Asm& Function(const std::string& name, std::initializer_list<std::string> params, const Asm& body) {
        std::vector<uint8_t> p;
        Str(p, name);
        Le16(p, static_cast<uint16_t>(params.size()));
        for (const auto& s : params) Str(p, s);
        std::vector<uint8_t> code = body.Bytes(false);
        Le16(p, static_cast<uint16_t>(code.size()));
        Record(Op::DefineFunction, p);
        m_bytes.insert(m_bytes.end(), code.begin(), code.end());
        return *this;
    }
    Asm& Function2(const std::string& name, int registers, uint16_t flags,
                   std::initializer_list<std::pair<int, std::string>> params, const Asm& body) {
        std::vector<uint8_t> p;
        Str(p, name);
        Le16(p, static_cast<uint16_t>(params.size()));
        p.push_back(static_cast<uint8_t>(registers));
        Le16(p, flags);
        for (const auto& [reg, pname] : params) {
            p.push_back(static_cast<uint8_t>(reg));
            Str(p, pname);
        }
        std::vector<uint8_t> code = body.Bytes(false);
        Le16(p, static_cast<uint16_t>(code.size()));
        Record(Op::DefineFunction2, p);
        m_bytes.insert(m_bytes.end(), code.begin(), code.end());
        return *this;
    }
    // try { body } catch (name) { handler } finally { cleanup }; empty handler/cleanup omit the block.
    Asm& Try(const Asm& body, const std::string& catchName, const Asm* handler, const Asm* cleanup, int catchReg = -1) {
        std::vector<uint8_t> b = body.Bytes(false);
        std::vector<uint8_t> h = handler ? handler->Bytes(false) : std::vector<uint8_t>();
        std::vector<uint8_t> c = cleanup ? cleanup->Bytes(false) : std::vector<uint8_t>();
        std::vector<uint8_t> p;
        uint8_t flags = static_cast<uint8_t>((handler ? 1 : 0) | (cleanup ? 2 : 0) | (catchReg >= 0 ? 4 : 0));
        p.push_back(flags);
        Le16(p, static_cast<uint16_t>(b.size()));
        Le16(p, static_cast<uint16_t>(h.size()));
        Le16(p, static_cast<uint16_t>(c.size()));
        if (catchReg >= 0) {
            p.push_back(static_cast<uint8_t>(catchReg));
        } else {
            Str(p, catchName);
        }
        Record(Op::Try, p);
        for (auto* part : {&b, &h, &c}) m_bytes.insert(m_bytes.end(), part->begin(), part->end());
        return *this;
    }
    Asm& With(const Asm& body) {
        std::vector<uint8_t> b = body.Bytes(false);
        std::vector<uint8_t> p;
        Le16(p, static_cast<uint16_t>(b.size()));
        Record(Op::With, p);
        m_bytes.insert(m_bytes.end(), b.begin(), b.end());
        return *this;
    }
    Asm& StringRecord(Op op, std::initializer_list<std::string> strings) {
        std::vector<uint8_t> p;
        for (const auto& s : strings) Str(p, s);
        return Record(op, p);
    }
    // trace(<name>) of a variable
    Asm& TraceVar(const std::string& name) { return Push({name}).Do(Op::GetVariable).Do(Op::Trace); }
    Asm& SetVar(const std::string& name, P value) { return Push({P(name), value}).Do(Op::SetVariable); }
    Asm& Call(const std::string& name, int argc) { return Push({argc, P(name)}).Do(Op::CallFunction); }
    // for (k in <object on the stack>) trace(k);
    Asm& TraceForIn() {
        Do(Op::Enumerate2).Label("forin").StoreRegister(0).Push({P::Null()}).Do(Op::Equals2).If("forin_end");
        return Push({P::Reg(0)}).Do(Op::Trace).Jump("forin").Label("forin_end");
    }

    std::vector<uint8_t> Bytes(bool withEnd = true) const {
        std::vector<uint8_t> out = m_bytes;
        for (const auto& [pos, label] : m_fixups) {
            auto offset = static_cast<int>(m_labels.at(label)) - static_cast<int>(pos + 2);
            out[pos] = static_cast<uint8_t>(offset & 0xFF);
            out[pos + 1] = static_cast<uint8_t>((offset >> 8) & 0xFF);
        }
        if (withEnd) out.push_back(0);
        return out;
    }

private:
    Asm& Branch(Op op, const std::string& label) {
        Record(op, {0, 0});
        m_fixups.emplace_back(m_bytes.size() - 2, label);
        return *this;
    }
    static void Le16(std::vector<uint8_t>& p, uint16_t v) {
        p.push_back(static_cast<uint8_t>(v));
        p.push_back(static_cast<uint8_t>(v >> 8));
    }
    static void Le32(std::vector<uint8_t>& p, uint32_t v) {
        for (int i = 0; i < 4; ++i) p.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    static void Str(std::vector<uint8_t>& p, const std::string& s) {
        p.insert(p.end(), s.begin(), s.end());
        p.push_back(0);
    }
    std::vector<uint8_t> m_bytes;
    std::map<std::string, size_t> m_labels;
    std::vector<std::pair<size_t, std::string>> m_fixups;
};

// Records trace lines, FSCommands and URL requests; the clock is set by the test.
class RecordingHost : public NullHost {
public:
    void Trace(std::string_view line) override { lines.emplace_back(line); }
    void FsCommand(std::string_view command, std::string_view args) override {
        commands.emplace_back(std::string(command), std::string(args));
    }
    void GetUrl(std::string_view url, std::string_view target, int) override {
        urls.emplace_back(std::string(url), std::string(target));
    }
    double Milliseconds() override { return now; }

    std::vector<std::string> lines;
    std::vector<std::pair<std::string, std::string>> commands;
    std::vector<std::pair<std::string, std::string>> urls;
    double now = 0;
};

// Runs code on a fresh Vm with no display list and returns the trace lines.
inline std::vector<std::string> RunTrace(const Asm& code, int version = 8, RunStatus* status = nullptr) {
    RecordingHost host;
    Vm vm(host, nullptr, version);
    std::vector<uint8_t> bytes = code.Bytes();
    RunStatus s = vm.RunActions(bytes, version, kNoClip);
    if (status) *status = s;
    return host.lines;
}

}  // namespace velmora::avm1::test
