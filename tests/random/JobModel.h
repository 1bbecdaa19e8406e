#pragma once
#include "engine/filefacts.h"
#include "filters/FilterSet.h"
#include "filters/LocaleLower.h"
#include "tests/random/RandomCase.h"
#include "tests/random/WorldSnapshot.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

// Where every file of a world must end after a job, worked out from the world as it was and the job
// alone: which files the job selects, where each one goes, and what the answers do where something
// stands already. Files only; folders are made and removed as the job sees fit.
namespace randomjobs {

inline std::string Lower(const std::string& utf8)
{
    std::wstring wide = Wide(utf8);
    if (!wide.empty())
        CharLowerBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    return Utf8(wide);
}

// A path as the system reads typed text: the last part loses its closing dots and blanks, a part
// before it a single closing dot (a blank there stays, as Windows keeps it).
inline std::string Trimmed(const std::string& path)
{
    std::string text;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = path.find('\\', start);
        std::string part = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (part != "." && part != "..") {
            if (end == std::string::npos) {
                while (!part.empty() && (part.back() == '.' || part.back() == ' '))
                    part.pop_back();
            } else if (!part.empty() && part.back() == '.') {
                part.pop_back();
            }
        }
        text += (start == 0 ? "" : "\\") + part;
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return text;
}

inline std::string LastPart(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }
inline std::string Parent(const std::string& path)
{
    const auto at = path.find_last_of('\\');
    return at == std::string::npos ? std::string() : path.substr(0, at);
}

// A typed path below the root as the system resolves it: "." parts folded, no closing backslash.
inline std::string Folded(const std::string& typed)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = typed.find('\\', start);
        std::string part = typed.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    std::string text;
    for (const std::string& p : parts)
        text += (text.empty() ? "" : "\\") + p;
    return text;
}

struct Expected {
    bool refused = false;  // Begin refuses the job: nothing changes
    bool exact = true;     // the model knows each file's end (answers it can follow)
    // Whether Begin refuses is the file system's choice: the destination's path goes through a name
    // that twins by letter case share (a folder that tells them apart), and which one the lookup
    // reaches decides whether it lies inside a source.
    bool refusalUnsure = false;
    Snapshot state;        // the files as they must stand (entries other than files carried along)
    std::multiset<std::uint64_t> floating;  // values that stand at names the model cannot tell
    std::map<std::string, std::set<std::uint64_t>> either;  // lower key: holds one of these
    std::vector<std::string> dontCare;      // lower keys (and what is below them) not judged
    std::set<std::string> selected;         // keys of the files the job acts on, as they were
    std::string destination;                // lower key of the destination; empty for none
    std::int64_t done = 0, failed = 0;      // what the report must count
    bool destinationMayLose = false;        // an answer that removes what stood at the destination
    bool selectsTwice = false;              // one file reached by two source items
};

class JobModel {
public:
    JobModel(const Snapshot& before, const Job& job) : job_(job), masks_(BuildMaskList(job.masks))
    {
        e_.state = before;
        filters_.masksText = job.masks;
        filters_.extensions = job.extensions;
        filters_.timeFrom = job.timeFrom;
        filters_.timeTo = job.timeTo;
        filters_.minSize = job.minSize;
        filters_.maxSize = job.maxSize;
        copying_ = job.operation == kOpCopy || job.operation == kOpCut;
        fileAnswer_ = Uniform(job.fileAnswers);
        folderAnswer_ = Uniform(job.folderAnswers);
        for (const ConflictAnswer& a : job.fileAnswers)
            e_.destinationMayLose |= a.decision == kOverwrite || a.decision == kUpdate;
        for (const ConflictAnswer& a : job.folderAnswers)
            e_.destinationMayLose |= a.decision == kOverwrite;
    }

    Expected Run()
    {
        if (copying_) {
            // The destination as typed text is read (closing dots and blanks dropped): where a file
            // stands on its way, no copy can be made, and the model leaves it to the checks.
            destination_ = Trimmed(Folded(job_.destination));
            e_.destination = Lower(destination_);
            for (std::string p = destination_; !p.empty(); p = Parent(p)) {
                if (Is(p, Seen::File))
                    e_.exact = false;
                if (KeysOf(Lower(p)).size() > 1)
                    e_.exact = false, e_.refusalUnsure = true;
            }
            // A destination that is a source or lies inside one, by its text (letter case counts) or as
            // the system finds the source: closing dots and blanks dropped, the exact name first.
            for (const std::string& source : job_.sources) {
                const std::string exact = Folded(source);
                const std::string found = Resolved(exact);
                // The destination as far as it stands, found as the system finds it (twins by letter
                // case told apart), the rest as typed.
                const std::string td = ResolvedAsFarAsItStands(destination_);
                const std::string& typedDestination = job_.destination;  // the text as typed
                // Also as the system reads the typed destination ("a\\.\\readme " is "a\\readme"), against
                // the source as found (a file too), or as the system reads it where nothing stands.
                const std::string read = Lower(destination_), item = Lower(Trimmed(exact));
                const bool inside = typedDestination == exact || typedDestination.rfind(exact + "\\", 0) == 0 ||
                                    (found.empty() && (read == item || read.rfind(item + "\\", 0) == 0));
                // The destination as the system reads it may be another name (a hard link) of a source file.
                const auto fileAt = [this](const std::string& key) -> const Seen* {
                    const auto it = e_.state.find(key);
                    return it != e_.state.end() && it->second.kind == Seen::File ? &it->second : nullptr;
                };
                const Seen* destinationFile = fileAt(td);
                const Seen* sourceFile = fileAt(found);
                const bool sameFile = destinationFile && sourceFile && destinationFile->id != 0 &&
                                      destinationFile->id == sourceFile->id;
                if (inside || sameFile || (!found.empty() && (td == found || td.rfind(found + "\\", 0) == 0))) {
                    e_.refused = true;
                    return e_;
                }
            }
        }
        // Every item is read once, on the world as the job began; an item listed again (the same text
        // as the job reads it: as spelt where it stands so, else trimmed) is the same item.
        std::vector<std::string> items;
        std::set<std::string> texts;
        std::vector<bool> again;
        for (const std::string& typed : job_.sources) {
            items.push_back(AsFound(typed));
            again.push_back(!texts.insert(KeysOf(Lower(typed)).empty() ? Trimmed(typed) : typed).second);
        }
        for (std::size_t i = 0; i < items.size(); ++i)
            if (!again[i])
                Item(job_.sources[i], items[i]);
        return e_;
    }

private:
    // The answer every question gets, when the script gives one answer throughout; Skip when none.
    static std::optional<ConflictAnswer> Uniform(const std::vector<ConflictAnswer>& answers)
    {
        if (answers.empty())
            return ConflictAnswer{kSkip, false};
        for (const ConflictAnswer& a : answers)
            if (a.decision != answers.front().decision)
                return std::nullopt;
        return answers.front();
    }

    // The entry a path reaches: each part as typed where it stands so, else without its closing dots
    // and blanks, in the exact letter case where there is one, else another case. Empty for none.
    std::string Resolved(const std::string& path, bool* ambiguous = nullptr) const
    {
        std::string at;
        for (std::size_t start = 0;;) {
            const std::size_t end = path.find('\\', start);
            const std::string typed = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
            // Trimmed as a last part, or as one before it (a placeholder part after it).
            const std::string part = end == std::string::npos ? Trimmed(typed) : Parent(Trimmed(typed + "\\x"));
            const std::string exact = (at.empty() ? "" : at + "\\") + part;
            const std::string asTyped = (at.empty() ? "" : at + "\\") + typed;
            const std::vector<std::string> typedKeys = KeysOf(Lower(asTyped));
            if (e_.state.count(asTyped)) {
                at = asTyped;  // the name as it stands, as the job reaches it
            } else if (typed != part && !typedKeys.empty()) {
                if (ambiguous && typedKeys.size() > 1)
                    *ambiguous = true;
                at = typedKeys.front();  // as it stands in another letter case: "x.dat " names "X.DAT "
            } else if (e_.state.count(exact)) {
                at = exact;
            } else {
                const std::vector<std::string> keys = KeysOf(Lower(exact));
                if (keys.empty())
                    return {};
                if (ambiguous && keys.size() > 1)
                    *ambiguous = true;
                at = keys.front();
            }
            if (end == std::string::npos)
                return at;
            start = end + 1;
        }
    }

    std::string ResolvedAsFarAsItStands(const std::string& path) const
    {
        for (std::string head = path, tail; !head.empty(); tail = "\\" + LastPart(head) + tail, head = Parent(head))
            if (const std::string found = Resolved(head); !found.empty())
                return found + tail;
        return path;
    }

    // The file itself stands at the path by another name (a second name of it).
    bool SameFileAt(const std::string& path, const Seen& file) const
    {
        const std::vector<std::string> keys = KeysOf(Lower(path));
        return file.id != 0 && keys.size() == 1 && e_.state.at(keys.front()).id == file.id;
    }

    std::vector<std::string> KeysOf(const std::string& lowerKey) const
    {
        std::vector<std::string> keys;
        for (const auto& [key, seen] : e_.state)
            if (Lower(key) == lowerKey)
                keys.push_back(key);
        return keys;
    }
    bool Is(const std::string& path, Seen::Kind kind) const
    {
        for (const std::string& key : KeysOf(Lower(path)))
            if (e_.state.at(key).kind == kind)
                return true;
        return false;
    }

    bool Passes(const std::string& key, const Seen& seen, const std::string& lowerName) const
    {
        const FILETIME ft{static_cast<DWORD>(seen.written), static_cast<DWORD>(seen.written >> 32)};
        return PassesFileFilter(masks_, filters_, lowerName, FilterTimeOf(ft), seen.size) && !key.empty();
    }

    std::string CopyOfName(const std::string& name, Seen::Kind kind) const
    {
        std::string candidate = "Copy of " + name;
        for (int k = 1; Is(destination_ + "\\" + candidate, kind); ++k)
            candidate = "Copy (" + std::to_string(k) + ") of " + name;
        return candidate;
    }

    // The item as the system finds it: the exact name, else as a plain path resolves (closing dots
    // and blanks dropped, letter case aside), as Windows itself would read what was listed.
    std::string AsFound(const std::string& typed)
    {
        if (e_.state.count(typed))
            return typed;
        bool ambiguous = false;
        const std::string found = Resolved(typed, &ambiguous);
        if (ambiguous)
            e_.exact = false;
        return found.empty() ? typed : found;
    }

    void Item(const std::string& typed, const std::string& source)
    {
        // Gone since the job began (an earlier item took it), while an entry of that name in other
        // letters stands (a folder that tells them apart): whether the item reaches it is the file
        // system's choice (Windows looks the name up as spelt there; Wine in any letter case).
        if (!e_.state.count(source) && !KeysOf(Lower(source)).empty())
            e_.exact = false;
        for (const std::string& key : e_.selected)
            e_.selectsTwice |= key == source || key.rfind(source + "\\", 0) == 0;
        const auto found = e_.state.find(source);
        if (found != e_.state.end() && found->second.kind == Seen::File) {
            const std::string name = LocaleLower(LastPart(source));
            if (!Passes(source, found->second, name))
                return;
            e_.selectsTwice |= !e_.selected.insert(source).second;
            if (!copying_)
                return Remove(source);
            std::string target = destination_ + "\\" + name;
            if (Lower(target) == Lower(source) || SameFileAt(target, found->second)) {
                if (job_.operation == kOpCut)
                    return;
                target = destination_ + "\\" + CopyOfName(name, Seen::File);
            }
            return Place(source, target, false);
        }
        if (found != e_.state.end() && found->second.kind == Seen::Link)
            return DontCare(source);
        std::string name = LastPart(source == typed ? typed : Trimmed(typed));
        if (copying_ && Lower(destination_ + "\\" + name) == Lower(source)) {
            if (job_.operation == kOpCut)
                return;
            name = CopyOfName(name, Seen::Folder);
        }
        const std::string target = copying_ ? destination_ + "\\" + name : std::string();
        if (copying_ && Is(target, Seen::File))
            e_.exact = false;  // a file where the folder goes: each copy fails
        if (copying_ && !job_.flat)
            made_.insert(Lower(target));
        Walk(source, target, false);
    }

    void Walk(const std::string& folder, const std::string& target, bool floatingBelow)
    {
        std::vector<std::string> children;
        const std::string prefix = folder + "\\";
        for (auto it = e_.state.lower_bound(prefix); it != e_.state.end() && it->first.rfind(prefix, 0) == 0; ++it)
            if (it->first.find('\\', prefix.size()) == std::string::npos)
                children.push_back(it->first);
        for (const std::string& child : children) {
            const auto at = e_.state.find(child);
            if (at == e_.state.end())
                continue;
            const Seen seen = at->second;
            const std::string name = LastPart(child);
            const std::string to = target + "\\" + name;
            if (seen.kind == Seen::Link) {
                DontCare(child);
                if (copying_)
                    DontCare(to);
                continue;
            }
            if (seen.kind == Seen::Folder) {
                bool floating = floatingBelow;
                bool madeHere = true;  // false where the job makes the folder under another name
                if (copying_ && !job_.flat && !floatingBelow && Is(to, Seen::Folder) && !made_.count(Lower(to))) {
                    if (!folderAnswer_) {
                        e_.exact = false;
                        DontCare(to);
                        floating = true;
                    } else if (folderAnswer_->decision == kSkip) {
                        continue;
                    } else if (folderAnswer_->decision == kOverwrite) {
                        RemoveBelow(to, false);
                    } else if (folderAnswer_->decision == kAutoRename) {
                        if (job_.folderRenameNew)
                            floating = true, madeHere = false;
                        else
                            RemoveBelow(to, true);
                    }
                } else if (copying_ && !job_.flat && Is(to, Seen::File)) {
                    e_.exact = false;
                }
                if (copying_ && !job_.flat && madeHere)
                    made_.insert(Lower(to));
                Walk(child, to, floating);
                continue;
            }
            if (!Passes(child, seen, LocaleLower(name)))
                continue;
            e_.selectsTwice |= !e_.selected.insert(child).second;
            if (!copying_) {
                Remove(child);
                continue;
            }
            std::string placed = to;
            if (job_.flat) {
                std::string rest = to.substr(destination_.size() + 1);
                for (char& c : rest)
                    if (c == '\\')
                        c = '_';
                placed = destination_ + "\\" + rest;
            }
            Place(child, placed, floatingBelow);
        }
    }

    void DontCare(const std::string& key) { e_.dontCare.push_back(Lower(key)); }

    // Everything that stood below a folder the job removes (or moves aside: then it stands elsewhere).
    void RemoveBelow(const std::string& folder, bool movedAside)
    {
        const std::string prefix = Lower(folder) + "\\";
        for (auto it = e_.state.begin(); it != e_.state.end();) {
            if (Lower(it->first).rfind(prefix, 0) == 0) {
                if (movedAside && it->second.kind == Seen::File)
                    e_.floating.insert(it->second.Value());
                it = e_.state.erase(it);
            } else {
                ++it;
            }
        }
    }

    void Remove(const std::string& key)
    {
        // Crush overwrites no data that another name still reaches; the trash takes no name that the
        // plain form of its path would alter (a part closing in a dot or blank): each stays, failed.
        const bool sharedData = job_.operation == kOpCrush && e_.state.at(key).links > 1;
        if (sharedData || (job_.operation == kOpTrash && Trimmed(key) != key)) {
            ++e_.failed;
            return;
        }
        e_.state.erase(key);
        ++e_.done;
    }

    void Place(const std::string& source, const std::string& target, bool floating)
    {
        const Seen seen = e_.state.at(source);
        const std::string lower = Lower(target);
        const auto done = [&] {
            ++e_.done;
            if (job_.operation == kOpCut)
                e_.state.erase(source);
        };
        if (floating) {
            // Beside an entry of its name in other letters, the file may meet, under the new name the
            // model cannot tell, a folder the job made for that entry.
            if (KeysOf(Lower(source)).size() > 1)
                e_.exact = false;
            e_.floating.insert(seen.Value());
            return done();
        }
        // Folders at the destination whose names differ only in letter case (a folder that tells
        // them apart): which of them a name reaches is the file system's choice.
        if (KeysOf(Lower(Parent(target))).size() > 1) {
            e_.exact = false;
            return;
        }
        if (written_.count(lower) && seen.id != 0) {
            // The second name of a file this job has already moved there: the same file, not copied.
            const std::vector<std::string> there = KeysOf(lower);
            if (there.size() == 1 && e_.state.at(there.front()).id == seen.id) {
                ++e_.failed;
                return;
            }
        }
        if (written_.count(lower)) {
            // Two files of the job land on one name: one takes it, the other a stamped name, in the
            // order the folders list them.
            auto& group = e_.either[lower];
            for (const std::string& key : KeysOf(lower)) {
                if (group.empty())
                    group.insert(e_.state.at(key).Value()), e_.floating.insert(e_.state.at(key).Value());
                e_.state.erase(key);
            }
            group.insert(seen.Value());
            e_.floating.insert(seen.Value());
            return done();
        }
        if (Wide(LastPart(target)).size() > 255) {
            ++e_.failed;  // a flat name longer than a file system's name can be
            return;
        }
        if (made_.count(lower)) {
            ++e_.failed;  // a folder this job made stands there (twins by letter case: a file and a folder)
            return;
        }
        const std::vector<std::string> there = KeysOf(lower);
        if (there.size() > 1) {
            e_.exact = false;
            return;
        }
        if (there.size() == 1) {
            const Seen existing = e_.state.at(there.front());
            if (existing.kind != Seen::File || (seen.id != 0 && existing.id == seen.id)) {
                ++e_.failed;  // a folder (or link) where the file goes, or the source file itself
                return;
            }
            if (!fileAnswer_) {
                e_.exact = false;
                DontCare(target);
                written_.insert(lower);
                return;
            }
            ConflictDecision decision = fileAnswer_->decision;
            if (decision == kUpdate) {
                const bool older = existing.written / 20000000 < seen.written / 20000000;
                const bool same = existing.written / 20000000 == seen.written / 20000000;
                decision = older || (same && existing.size != seen.size) ? kOverwrite : kSkip;
            }
            if (decision == kSkip)
                return;
            if (decision == kAutoRename) {
                if (job_.fileRenameNew) {
                    e_.floating.insert(seen.Value());
                    return done();
                }
                e_.floating.insert(existing.Value());
            }
            e_.state.erase(there.front());
        }
        Seen placed = seen;
        placed.links = 1;
        // A Cut within one volume moves the file itself (the same file, its other names kept); a copy is another.
        if (job_.operation != kOpCut || target.rfind(kOther, 0) == 0 || source.rfind(kOther, 0) == 0)
            placed.id = 0;
        e_.state[target] = placed;
        written_.insert(lower);
        done();
    }

    const Job& job_;
    Expected e_;
    MaskList masks_;
    FilterSet filters_;
    bool copying_ = false;
    std::string destination_;
    std::optional<ConflictAnswer> fileAnswer_, folderAnswer_;
    std::set<std::string> written_;  // lower keys of the files the job wrote
    std::set<std::string> made_;     // lower keys of the folders the job made
};

inline Expected Model(const Snapshot& before, const Job& job) { return JobModel(before, job).Run(); }

} // namespace randomjobs
