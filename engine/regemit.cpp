// Emitting the byte program. The pattern is parsed twice: first over a builder that only counts
// bytes, so that the size is known, and a program too big for 16-bit node links is refused,
// before anything is allocated; then over one that writes and links the nodes in a buffer of
// exactly that size. Bounded repetitions are written by copying the bytes of their atom, which
// the counting pass has to mirror exactly.

#include <algorithm>
#include <cassert>
#include <cstring>

#include "engine/RegCompiler.h"
#include "engine/RegError.h"
#include "engine/RegProgram.h"

namespace regcompiler {

namespace {

class SizeBuilder final : public ProgramBuilder {
public:
    void emitByte(std::uint8_t) override { add(1); }
    int emitNode(std::uint8_t) override {
        add(3);
        return kNoNode;
    }
    void insertNode(std::uint8_t, int) override { add(3); }
    void setTail(int, int) override {}
    void setOperandTail(int, int) override {}
    int nextNode(int) const override { return kNoNode; }
    long mark() const override { return count_; }
    void endAtom(long mark) override { atomSize_ = count_ - mark; }
    void repeat(int, int min, int max) override { add(repeatSize(min, max)); }

    // Sizes stop growing once far beyond any valid program, so that nested brace counts cannot
    // overflow. A program is too big if it ever passed the limit, even if {0} removes the part
    // again, because the emitting pass has to build that part before removing it.
    bool tooBig() const { return peak_ >= kRegMaxProgram; }
    long size() const { return count_; }
    // The most bytes present at any time: a part repeated {0} is written before it is removed.
    long peak() const { return peak_; }

private:
    static constexpr long kCap = 1L << 40;

    void add(long n) {
        count_ = std::min(count_ + n, kCap);
        peak_ = std::max(peak_, count_);
    }

    // Bytes the emitting pass writes for a bounded repetition of the last atom.
    long repeatSize(int min, int max) {
        if (min == 0 && max == 0) return -atomSize_;
        if (min == 0) return 9 + repeatSize(1, max);
        if (min == 1 && max == 1) return 0;
        if (min == 1 && max == kUnbounded) return 12;
        if (min == 1) return 9 + atomSize_ + repeatSize(1, max - 1);
        if (min >= 2 && max >= min) {
            long rest = repeatSize(min - 1, max == kUnbounded ? max : max - 1);
            return std::min(atomSize_ + rest, kCap);
        }
        error = REG_ERR_BOUNDED_REPEAT;
        return 0;
    }

    long count_ = 1; // the leading magic byte
    long peak_ = 1;
    long atomSize_ = 0;
};

class CodeBuilder final : public ProgramBuilder {
public:
    explicit CodeBuilder(std::vector<std::uint8_t>& buf) : buf_(buf) {}

    void emitByte(std::uint8_t c) override {
        if (!room(1)) return;
        buf_[pos_++] = c;
    }
    int emitNode(std::uint8_t op) override {
        if (!room(3)) return kNoNode;
        int node = static_cast<int>(pos_);
        buf_[pos_++] = op;
        buf_[pos_++] = 0;
        buf_[pos_++] = 0;
        return node;
    }
    void insertNode(std::uint8_t op, int before) override {
        if (before < 0 || !room(3)) return;
        std::memmove(&buf_[before + 3], &buf_[before], pos_ - before);
        pos_ += 3;
        buf_[before] = op;
        buf_[before + 1] = 0;
        buf_[before + 2] = 0;
    }
    void setTail(int p, int q) override {
        if (p < 0 || q < 0) return;
        int scan = p;
        for (int guard = 0; guard < static_cast<int>(buf_.size()); ++guard) {
            int next = nextNode(scan);
            if (next < 0 || next == scan) break;
            scan = next;
        }
        setNext(scan, q);
    }
    void setOperandTail(int p, int q) override {
        if (p < 0 || buf_[p] != BRANCH) return;
        setTail(p + 3, q);
    }
    int nextNode(int p) const override {
        if (p < 0) return kNoNode;
        int next = regNext(buf_.data(), p);
        // A link to the write position leads to the node that will be written there; links
        // never leave the written part.
        return next >= 0 && next < static_cast<int>(pos_) ? next : kNoNode;
    }
    long mark() const override { return 0; }
    void endAtom(long) override {}

    // Bounded repetition of atom, the last thing written. Its tail first leads to just after
    // it, so that byte copies placed one after another chain into each other.
    void repeat(int atom, int min, int max) override {
        if (atom < 0) return;
        setTail(atom, static_cast<int>(pos_));
        int len = static_cast<int>(pos_) - atom;
        int first = atom;
        build(atom, len, min, max);
        // The last copy's tail still leads to the write position; cut it, so that the next
        // piece is linked to the end of the construction and not to whatever is written next.
        if (!error && !(min == 0 && max == 0)) terminate(first);
    }

    std::size_t written() const { return pos_; }

private:
    bool room(std::size_t n) {
        if (pos_ + n <= buf_.size()) return true;
        if (!error) error = REG_ERR_UNKNOWN; // the passes disagree; never write past the buffer
        return false;
    }

    void setNext(int p, int q) {
        int d = buf_[p] == BACK ? p - q : q - p;
        buf_[p + 1] = static_cast<std::uint8_t>(d & 0xFF);
        buf_[p + 2] = static_cast<std::uint8_t>((d >> 8) & 0xFF);
    }

    void terminate(int first) {
        int scan = first;
        for (int guard = 0; guard < static_cast<int>(buf_.size()); ++guard) {
            int next = regNext(buf_.data(), scan);
            if (next < 0 || next == scan) return;
            if (next >= static_cast<int>(pos_)) {
                buf_[scan + 1] = buf_[scan + 2] = 0;
                return;
            }
            scan = next;
        }
    }

    void appendCopy(int from, int len) {
        if (!room(static_cast<std::size_t>(len))) return;
        std::memmove(&buf_[pos_], &buf_[from], static_cast<std::size_t>(len));
        pos_ += static_cast<std::size_t>(len);
    }

    void build(int x, int len, int min, int max) {
        if (error) return;
        if (min == 0 && max == 0) {
            std::fill(buf_.begin() + x, buf_.begin() + static_cast<long>(pos_), 0);
            pos_ = static_cast<std::size_t>(x);
        } else if (min == 0) {
            // (x{1,max})?
            insertNode(BRANCH, x);
            build(x + 3, len, 1, max);
            int b2 = emitNode(BRANCH);
            setTail(x, b2);
            int n = emitNode(NOTHING);
            setTail(x, n);
            setOperandTail(x, n);
        } else if (min == 1 && max == 1) {
            // x itself
        } else if (min == 1 && max == kUnbounded) {
            // x+ as a loop, even for a single character
            int b1 = emitNode(BRANCH);
            setTail(x, b1);
            int back = emitNode(BACK);
            setTail(back, x);
            setTail(b1, emitNode(BRANCH));
            setTail(x, emitNode(NOTHING));
        } else if (min == 1) {
            // x? x{1,max-1}
            insertNode(BRANCH, x);
            int b2 = emitNode(BRANCH);
            setTail(x, b2);
            int n = emitNode(NOTHING);
            setTail(x, n);
            setOperandTail(x, static_cast<int>(pos_));
            int copy = static_cast<int>(pos_);
            appendCopy(x + 3, len);
            build(copy, len, 1, max - 1);
        } else if (min >= 2 && max >= min) {
            // x x{min-1,max-1}
            int copy = static_cast<int>(pos_);
            appendCopy(x, len);
            build(copy, len, min - 1, max == kUnbounded ? max : max - 1);
        } else {
            error = REG_ERR_BOUNDED_REPEAT;
        }
    }

    std::vector<std::uint8_t>& buf_;
    std::size_t pos_ = 1; // after the magic byte
};

} // namespace

int emit(const char* pattern, RegProgram& prog, int& flags) {
    SizeBuilder sizer;
    parse(pattern, sizer);
    if (sizer.error) return sizer.error;
    if (sizer.tooBig()) return REG_ERR_TOO_BIG;

    prog.programSize = static_cast<std::uint32_t>(sizer.size());
    prog.program.assign(static_cast<std::size_t>(sizer.peak()), 0);
    prog.program[0] = kRegMagic;
    CodeBuilder coder(prog.program);
    flags = parse(pattern, coder);
    if (coder.error) return coder.error;
    // The two passes must agree byte for byte; fuzzing builds stop here if they ever do not.
    assert(coder.written() == prog.programSize);
    if (coder.written() != prog.programSize) return REG_ERR_UNKNOWN;
    prog.program.resize(prog.programSize);
    prog.program.shrink_to_fit();
    return 0;
}

} // namespace regcompiler
