#pragma once
#include "tests/random/JobModel.h"
#include "tests/random/RandomCase.h"

#include <cctype>
#include <optional>
#include <random>

// A random case from a seed: the same seed gives the same world and job on every machine (only the
// engine of the generator is the standard's; every draw below is made from its raw numbers).
namespace randomjobs {

class CaseGenerator {
public:
    // `closingDotsAndBlanks`: twins whose names close in a dot or blank (otherwise a twin by letter
    // case in their place), to run the rest while a fault with those names is open.
    explicit CaseGenerator(std::uint64_t seed, bool closingDotsAndBlanks = true)
        : rng_(seed), closingDotsAndBlanks_(closingDotsAndBlanks)
    {
        case_.seed = seed;
    }

    Case Make()
    {
        Add(Entry::Folder, "src");
        Add(Entry::Folder, "other");
        for (int i = 0; i < 2 + Pick(3); ++i)
            AddFile("other", Pick(100) < 50 ? "keep" + std::to_string(i) + ".txt" : Name());
        const char* tops[] = {"A", "b", "Cc"};
        const int topCount = 1 + Pick(3);
        for (int i = 0; i < topCount; ++i) {
            Add(Entry::Folder, std::string("src\\") + tops[i]);
            Fill(std::string("src\\") + tops[i], 1);
        }
        for (int i = 0; i < Pick(3); ++i)
            AddFile("src", Name());
        AddLinks();
        MakeJob();
        AddClashes();
        // Drawn last, so that every other draw stays what it was before jobs were killed.
        if (Chance(8)) {
            case_.job.killAtPump = 1 + Pick(4);
            case_.job.cancelAtPump = case_.job.cancelAtQuestion = case_.job.pauseAtPump = -1;
        }
        return case_;
    }

private:
    int Pick(int n) { return static_cast<int>(rng_() % static_cast<std::uint64_t>(n)); }
    bool Chance(int percent) { return Pick(100) < percent; }

    std::string Name()
    {
        static const char* names[] = {"a.txt", "Report.TXT", "notes.doc", "data.bin", "readme", "photo.JPG",
                                      "x.dat", "b.txt", "Ünï.txt", "Жук.txt", "日本.txt", "two.dots.txt"};
        if (Chance(4))
            return std::string(120 + Pick(60), 'L') + ".txt";  // with a long folder: past 260 characters
        return names[Pick(static_cast<int>(std::size(names)))];
    }

    bool Taken(const std::string& path) const
    {
        for (const Entry& e : case_.world)
            if (e.path == path)
                return true;
        return false;
    }

    std::vector<std::string> NamesIn(const std::string& folder) const
    {
        std::vector<std::string> names;
        for (const Entry& e : case_.world)
            if (Parent(e.path) == folder)
                names.push_back(LastPart(e.path));
        return names;
    }

    // A new name in the folder: often a twin of one already there, by letter case or a closing dot or
    // blank, which Windows itself would not make.
    std::string NameIn(const std::string& folder, std::string name)
    {
        const std::vector<std::string> there = NamesIn(folder);
        if (!there.empty() && Chance(30)) {
            name = there[static_cast<std::size_t>(Pick(static_cast<int>(there.size())))];
            int how = Pick(4);
            if (!closingDotsAndBlanks_)
                how &= 1;
            if (how == 0)
                for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            else if (how == 1)
                for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            else
                name += how == 2 ? "." : " ";
        }
        for (int k = 2; Taken(folder + "\\" + name); ++k)
            name = std::to_string(k) + name;
        return folder + "\\" + name;
    }

    Entry& Add(Entry::Kind kind, const std::string& path)
    {
        Entry e;
        e.kind = kind;
        e.path = path;
        case_.world.push_back(e);
        return case_.world.back();
    }

    void AddFile(const std::string& folder, const std::string& name)
    {
        Entry& e = Add(Entry::File, NameIn(folder, name));
        const int size = Pick(100);
        e.size = size < 15 ? 0 : size < 75 ? 1 + Pick(700) : size < 96 ? 20000 + Pick(200000) : 1000000 + Pick(1500000);
        e.fill = static_cast<std::uint32_t>(rng_());
        e.written = Time(Pick(6));
        e.attributes = (Chance(12) ? FILE_ATTRIBUTE_READONLY : 0) | (Chance(8) ? FILE_ATTRIBUTE_HIDDEN : 0);
    }

    // A few times only, so that many files share one; whole even seconds, as the filters read them.
    static std::uint64_t Time(int which)
    {
        static const std::uint64_t days[] = {0, 200, 900, 1500, 2100, 2400};
        const std::uint64_t base = 132223104000000000ull;  // 2020-01-01 00:00 UTC
        return base + days[which] * 864000000000ull + 36000ull * 10000000ull;
    }

    void Fill(const std::string& folder, int depth)
    {
        if (depth > 1 && Chance(15))
            return;  // an empty folder
        const int count = 1 + Pick(5);
        for (int i = 0; i < count; ++i) {
            if (depth < 3 && Chance(25)) {
                static const char* folders[] = {"sub", "Docs", "deep", "Box", "Ωmega"};
                std::string name = Chance(5) ? std::string(110, 'F') : folders[Pick(5)];
                const std::string path = NameIn(folder, name);
                Add(Entry::Folder, path);
                Fill(path, depth + 1);
            } else {
                AddFile(folder, Name());
            }
        }
    }

    std::vector<std::string> Of(Entry::Kind kind, const std::string& under) const
    {
        std::vector<std::string> paths;
        for (const Entry& e : case_.world)
            if (e.kind == kind && e.path.rfind(under + "\\", 0) == 0)
                paths.push_back(e.path);
        return paths;
    }

    template <class T> const T& Any(const std::vector<T>& list) { return list[static_cast<std::size_t>(Pick(static_cast<int>(list.size())))]; }

    void AddLinks()
    {
        const std::vector<std::string> files = Of(Entry::File, "src"), outside = Of(Entry::File, "other");
        std::vector<std::string> folders = Of(Entry::Folder, "src");
        folders.push_back("other");
        for (int i = 0, n = Pick(3); i < n && !files.empty(); ++i) {
            const std::string target = Chance(70) ? Any(files) : Any(outside);
            Entry& link = Add(Entry::HardLink, NameIn(Any(folders), "second.txt"));
            link.target = target;
        }
        if (Chance(15)) {
            Entry& link = Add(Entry::FolderLink, NameIn(Any(folders), "lnk"));
            link.target = Chance(50) ? "other" : Any(folders);
            if (link.target == Parent(link.path) || link.path.rfind(link.target + "\\", 0) == 0)
                link.target = "other";
        }
    }

    void MakeJob()
    {
        Job& job = case_.job;
        const int op = Pick(100);
        job.operation = op < 35 ? kOpCopy : op < 65 ? kOpCut : op < 78 ? kOpDelete : op < 90 ? kOpCrush : kOpTrash;
        std::vector<std::string> items = Of(Entry::Folder, "src");
        for (const Entry& e : case_.world)
            if ((e.kind == Entry::File || e.kind == Entry::HardLink) && e.path.rfind("src\\", 0) == 0)
                items.push_back(e.path);
        for (int i = 0, n = 1 + Pick(3); i < n; ++i) {
            std::string item = Any(items);
            // A folder's own subfolder or file, or the same item twice, now and then.
            if (!job.sources.empty() && Chance(15))
                item = job.sources.back();
            job.sources.push_back(item);
        }
        job.flat = Chance(25);
        if (!Chance(65)) {
            static const char* masks[] = {"*.txt", "a*", "*.txt/*.bin", "*.*/x*", "*a*", "*."};
            job.masks = masks[Pick(6)];
        }
        if (Chance(20)) {
            static const char* extensions[] = {".txt", ".bin", ".", ".jpg"};
            job.extensions = {{".doc", true}, {extensions[Pick(4)], false}};
        }
        if (Chance(20)) {
            const DateTime days[] = {43800.0, 44000.0, 44700.0, 45300.0, 45900.0, 46300.0};  // between the times above
            job.timeFrom = days[Pick(3)];
            job.timeTo = days[3 + Pick(3)];
        }
        if (Chance(20)) {
            const std::int64_t mins[] = {0, 1, 100, 1000}, maxs[] = {500, 100000, INT64_MAX};
            job.minSize = mins[Pick(4)];
            job.maxSize = maxs[Pick(3)];
        }
        const auto answers = [this](std::vector<ConflictAnswer>& list) {
            const bool uniform = Chance(50);
            const ConflictAnswer first{static_cast<ConflictDecision>(1 + Pick(4)), Chance(30), true};
            for (int i = 0, n = 1 + Pick(6); i < n; ++i)
                list.push_back(uniform ? first : ConflictAnswer{static_cast<ConflictDecision>(1 + Pick(4)), Chance(30), true});
        };
        answers(job.fileAnswers);
        answers(job.folderAnswers);
        job.fileRenameNew = Chance(50);
        job.folderRenameNew = Chance(50);
        if (Chance(15))
            job.cancelAtQuestion = Pick(3);
        else if (Chance(12))
            job.cancelAtPump = 1 + Pick(8);
        if (Chance(12))
            job.pauseAtPump = 1 + Pick(30);

        if (job.operation != kOpCopy && job.operation != kOpCut)
            return;
        const int where = Pick(100);
        if (where < 65) {
            job.destination = "out";
        } else if (where < 70) {
            job.destination = Any(job.sources) + "\\inner";  // inside a source: refused unless a file
        } else if (where < 85) {
            // The folder of a source under another spelling.
            std::string parent = Parent(job.sources.front());
            if (Chance(50))
                for (char& c : parent) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            else
                parent = Parent(parent).empty() ? parent + "\\." : Parent(parent) + "\\.\\" + LastPart(parent);
            job.destination = parent;
        } else {
            job.destination = std::string(kOther) + "\\out";
        }
    }

    // What stood at the destination before: files where the job's files go (older, newer, of equal
    // time and size), and their folders.
    void AddClashes()
    {
        Job& job = case_.job;
        if (job.destination.empty() || Lower(job.destination).rfind("src", 0) == 0 || Chance(20))
            return;
        Snapshot planned;
        for (const Entry& e : case_.world) {
            Seen& s = planned[e.path];
            s.kind = e.kind == Entry::Folder ? Seen::Folder : e.kind == Entry::FolderLink ? Seen::Link : Seen::File;
            if (e.kind == Entry::File)
                s.size = e.size, s.written = e.written, s.content = e.fill;
        }
        for (Entry& e : case_.world)
            if (e.kind == Entry::HardLink)
                planned[e.path] = planned[e.target];
        Job plain = job;
        plain.fileAnswers.clear();
        plain.folderAnswers.clear();
        const Expected expected = Model(planned, plain);
        if (expected.refused)
            return;
        const std::string root = Folded(job.destination);
        if (root.rfind(kOther, 0) == 0)
            Add(Entry::Folder, kOther);
        Add(Entry::Folder, root);
        for (const auto& [path, seen] : expected.state) {
            if (planned.count(path) || seen.kind != Seen::File || !Chance(60))
                continue;
            std::vector<std::string> chain;
            for (std::string p = Parent(path); p.size() > root.size(); p = Parent(p))
                chain.insert(chain.begin(), p);
            for (const std::string& folder : chain)
                if (!Taken(folder))
                    Add(Entry::Folder, folder);
            if (Chance(8)) {
                Add(Entry::Folder, path);  // a folder where the file goes
                continue;
            }
            if (Chance(25) && root.rfind(kOther, 0) != 0) {
                // The source file itself, by a second name where its copy goes.
                for (const Entry& e : std::vector<Entry>(case_.world))
                    if (e.kind == Entry::File && e.fill == seen.content && e.size == seen.size) {
                        Add(Entry::HardLink, path).target = e.path;
                        break;
                    }
                if (Taken(path))
                    continue;
            }
            Entry& clash = Add(Entry::File, path);
            const int how = Pick(4);
            clash.fill = static_cast<std::uint32_t>(rng_());
            clash.size = how == 3 ? static_cast<std::uint32_t>(seen.size) : static_cast<std::uint32_t>(Pick(900));
            clash.written = how == 0 ? seen.written - 864000000000ull : how == 1 ? seen.written + 864000000000ull : seen.written;
            clash.attributes = Chance(15) ? FILE_ATTRIBUTE_READONLY : 0;
        }
    }

    std::mt19937_64 rng_;
    bool closingDotsAndBlanks_;
    Case case_;
};

} // namespace randomjobs
