#include "filters/Maskmatchfile.h"

// Called once per mask for every file of a job: it folds while it compares (no copies, no
// allocation) and keeps one retry point, the most recent star. It never backtracks to an earlier
// star; with '?' right after a star a retry therefore moves the star's span on by more than one
// character, so a few names an unlimited matcher would take are refused. That behaviour is the
// product's and is kept on purpose.

namespace {

// Only 'a'..'z' fold; '{', '`' and every byte from 0x80 up stay as they are.
inline unsigned char Fold(unsigned char c) { return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c; }

// A read position that knows where its text ends, so the matcher never looks past the end.
struct ZeroEnded {
    const unsigned char* p;
    unsigned char operator*() const { return *p; }
    bool AtEnd() const { return *p == 0; }
};

struct Bounded {
    const unsigned char* p;
    const unsigned char* end;
    unsigned char operator*() const { return p == end ? 0 : *p; }
    bool AtEnd() const { return p == end || *p == 0; }
};

template <typename Pos>
bool Match(Pos m, Pos s)
{
    Pos rm = m;  // mask position just after the last star
    Pos rs = s;  // name position just after the literal found last after that star
    bool haveRetry = false;
    bool rescan = false;
    for (;;) {
        const unsigned char c = Fold(*m);
        if (!rescan) {
            if (c == 0) {
                if (s.AtEnd())
                    return true;
                if (!haveRetry)
                    return false;
                s = rs;
                m = rm;
                rescan = true;
            } else if (c == '*') {
                ++m.p;
                rm = m;
                rescan = true;
            } else if (s.AtEnd()) {
                return false;
            } else if (c == '?' || Fold(*s) == c) {
                ++s.p;
                ++m.p;
            } else {
                if (!haveRetry)
                    return false;
                s = rs;
                m = rm;
                rescan = true;
            }
        } else {
            if (c == 0)
                return true;  // a trailing star takes the rest of the name
            if (c == '*') {
                ++m.p;
                rm = m;
            } else if (c == '?') {
                if (s.AtEnd())
                    return false;
                ++s.p;
                ++m.p;
            } else {
                while (!s.AtEnd() && Fold(*s) != c)
                    ++s.p;
                if (s.AtEnd())
                    return false;
                ++s.p;
                rs = s;
                haveRetry = true;
                ++m.p;
                rescan = false;
            }
        }
    }
}

const unsigned char kEmpty[1] = {0};

const unsigned char* Bytes(const char* text)
{
    return text ? reinterpret_cast<const unsigned char*>(text) : kEmpty;
}

} // namespace

bool MaskMatch(const char* mask, const char* name)
{
    return Match(ZeroEnded{Bytes(mask)}, ZeroEnded{Bytes(name)});
}

bool MaskMatch(std::string_view mask, std::string_view name)
{
    const unsigned char* m = mask.empty() ? kEmpty : reinterpret_cast<const unsigned char*>(mask.data());
    const unsigned char* s = name.empty() ? kEmpty : reinterpret_cast<const unsigned char*>(name.data());
    return Match(Bounded{m, m + mask.size()}, Bounded{s, s + name.size()});
}
