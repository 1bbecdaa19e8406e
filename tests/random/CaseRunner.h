#pragma once
#include "engine/jobrun.h"
#include "tests/random/JobChecks.h"
#include "tests/random/JobModel.h"
#include "tests/random/RandomCase.h"
#include "tests/support/OtherVolume.h"
#include "tests/support/PathSpellings.h"
#include "tests/support/ScriptedHost.h"
#include "tests/support/TempFolder.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

// Makes a case's world in a fresh folder (and one on another volume), runs its job through the real
// engine with its file workers and scripted answers, and checks the world against the model.
namespace randomjobs {

struct Outcome {
    std::string unmade;  // an entry the world could not be given; then nothing ran
    std::vector<Violation> violations;
    std::string log;
    std::string changes;  // what the job changed, name by name
    // What the job met, for the long mode's summary of how much each kind of case was tried.
    bool refused = false, modelled = false, cancelled = false, selectsTwice = false;
    std::int64_t questions = 0, done = 0, failed = 0;
};

// Each name whose files differ before and after, with what stood there (values shortened).
inline std::string Changes(const Snapshot& before, const Snapshot& after)
{
    const auto text = [](const Snapshot& s, const std::string& key) {
        const auto at = s.find(key);
        if (at == s.end())
            return std::string("-");
        if (at->second.kind != Seen::File)
            return std::string(at->second.kind == Seen::Folder ? "folder" : "link");
        char v[96];
        std::snprintf(v, sizeof v, "%08llx (%lld bytes %08llx, time %llu, attributes %lu, %lu names)",
                      static_cast<unsigned long long>(at->second.Value() & 0xffffffffu),
                      static_cast<long long>(at->second.size), static_cast<unsigned long long>(at->second.content & 0xffffffffu),
                      static_cast<unsigned long long>(at->second.written / 10000000), static_cast<unsigned long>(at->second.attributes),
                      static_cast<unsigned long>(at->second.links));
        return std::string(v);
    };
    std::set<std::string> keys;
    for (const Snapshot* s : {&before, &after})
        for (const auto& [key, seen] : *s)
            keys.insert(key);
    std::string lines;
    for (const std::string& key : keys)
        if (text(before, key) != text(after, key))
            lines += "  " + key + ": " + text(before, key) + " -> " + text(after, key) + "\n";
    return lines;
}

class CaseRunner {
public:
    explicit CaseRunner(const Case& c) : case_(c)
    {
        other_ = testsupport::FolderOnAnotherVolume(temp_);
        otherRoot_ = other_ ? other_->Path() : temp_ / kOther;
    }

    Outcome Run()
    {
        Outcome outcome;
        if (!other_)
            CreateDirectoryA(otherRoot_.c_str(), nullptr);
        for (const Entry& e : case_.world)
            if (!Make(e)) {
                outcome.unmade = e.path + " (error " + std::to_string(GetLastError()) + ")";
                return outcome;
            }
        const Snapshot before = World();
        const Expected expected = Model(before, case_.job);

        Host host(case_.job);
        JobState state;
        state.scanStopped = true;
        JobRun run(host, state);
        host.run = &run;
        host.operation = case_.job.operation;
        static const char* headers[] = {"Copy\n", "Cut\n", "Move to trash\n", "Delete\n", "Crush\n"};
        host.operationHeader = headers[case_.job.operation];
        for (const std::string& s : case_.job.sources)
            host.sources.push_back(Full(s));
        host.destination = case_.job.destination.empty() ? std::string() : Full(case_.job.destination);
        host.flat = case_.job.flat;
        host.filters = FilterSet{case_.job.masks, case_.job.extensions, case_.job.timeFrom, case_.job.timeTo,
                                 case_.job.minSize, case_.job.maxSize};
        host.fileRenameNew = case_.job.fileRenameNew;
        host.folderRenameNew = case_.job.folderRenameNew;
        const JobRequest request = host.Request();
        const bool refused = InsideSourceRefusal(request).has_value();
        if (!refused)
            run.Run(request);

        JobResult result;
        result.ran = !refused;
        result.ranToEnd = !host.cancelled;
        result.done = state.filesDone;
        result.failed = state.filesFailed;
        result.log = host.log;
        outcome.log = host.log;
        const Snapshot after = World();
        outcome.changes = Changes(before, after);
        outcome.refused = refused;
        outcome.modelled = expected.exact && !expected.refused;
        outcome.cancelled = host.cancelled;
        outcome.selectsTwice = expected.selectsTwice;
        outcome.questions = static_cast<std::int64_t>(host.fileQuestions.size() + host.folderQuestions.size());
        for (const std::string& q : host.fileQuestions)
            outcome.changes += "  asked about file " + q + "\n";
        for (const std::string& q : host.folderQuestions)
            outcome.changes += "  asked about folder " + q + "\n";
        outcome.done = state.filesDone;
        outcome.failed = state.filesFailed;
        outcome.violations = JobChecks(before, after, expected, case_.job, result).Run();
        if (refused != expected.refused)
            outcome.violations.push_back({"refused as the model says", refused ? "the job was refused" : "the job ran"});
        return outcome;
    }

private:
    // Answers from the case's script, Cancel and Pause where the case says, and the window's messages
    // taken off the queue as the window would.
    class Host : public ScriptedHost {
    public:
        // The answers are taken in turn, from the first again once all are used.
        explicit Host(const Job& job) : job_(job)
        {
            onFileExists = [this](const std::string&, const std::string&) { return Next(job_.fileAnswers, files_); };
            onFolderExists = [this](const std::string&) { return Next(job_.folderAnswers, folders_); };
        }
        JobRun* run = nullptr;
        bool cancelled = false;

        ConflictAnswer AskFileExists(const std::string& path, const std::string& comparison) override
        {
            Question();
            return ScriptedHost::AskFileExists(path, comparison);
        }
        ConflictAnswer AskFolderExists(const std::string& path) override
        {
            Question();
            return ScriptedHost::AskFolderExists(path);
        }
        void ProcessMessages() override
        {
            const int pump = processMessagesCalls;
            ScriptedHost::ProcessMessages();
            if (resumeAt_ == pump) {
                run->bbPauseClick();
            } else if (pump == job_.pauseAtPump && !paused) {
                run->bbPauseClick();
                resumeAt_ = pump + 1;
                PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);  // wakes the pause's wait at once
            }
            if (pump == job_.cancelAtPump)
                Cancel();
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
        }

    private:
        static ConflictAnswer Next(const std::vector<ConflictAnswer>& answers, std::size_t& used)
        {
            return answers.empty() ? ConflictAnswer{kSkip, false} : answers[used++ % answers.size()];
        }
        void Question()
        {
            if (questions_++ == job_.cancelAtQuestion)
                Cancel();
        }
        void Cancel()
        {
            cancelled = true;
            run->bbCancelClick();
        }
        const Job& job_;
        int questions_ = 0;
        std::size_t files_ = 0, folders_ = 0;
        int resumeAt_ = -1;
    };

    std::string Full(const std::string& rel) const
    {
        if (rel.rfind(kOther, 0) == 0)
            return otherRoot_ + rel.substr(std::strlen(kOther));
        return rel.empty() ? temp_.Path() : temp_.Path() + "\\" + rel;
    }

    Snapshot World() const
    {
        Snapshot world = Read(temp_.Path());
        if (other_)
            for (auto& [key, seen] : Read(otherRoot_))
                world[std::string(kOther) + "\\" + key] = seen;
        return world;
    }

    // Each entry is made under a plain temporary name, then given its own by the host system where
    // there is one (under Wine): a twin of another letter case, or a name closing in a dot or blank,
    // is a name the Windows calls would fold onto another.
    bool Make(const Entry& e)
    {
        if (e.path == kOther)
            return true;
        const std::string parent = Parent(e.path);
        const std::string made = (parent.empty() ? "" : parent + "\\") + "~mk" + std::to_string(++made_);
        if (!MakeAs(e, made))
            return false;
        const testsupport::UnixNameOf unixName = testsupport::WineUnixNames();
        if (!unixName)
            return MoveFileExW(Extended(Full(made)).c_str(), Extended(Full(e.path)).c_str(), 0) != 0;
#if defined(__i386__)
        char* from = unixName(Extended(Full(made)).c_str());
        char* folder = unixName(Extended(Full(parent)).c_str());
        const std::string to = folder ? std::string(folder) + "/" + LastPart(e.path) : std::string();
        const bool renamed = from && folder && testsupport::HostSyscall(38 /* rename */, from, to.c_str()) == 0;
        HeapFree(GetProcessHeap(), 0, from);
        HeapFree(GetProcessHeap(), 0, folder);
        if (!renamed)
            SetLastError(ERROR_CANNOT_MAKE);
        return renamed;
#else
        return false;
#endif
    }

    bool MakeAs(const Entry& e, const std::string& rel)
    {
        const std::wstring path = Extended(Full(rel));
        switch (e.kind) {
        case Entry::Folder:
            return CreateDirectoryW(path.c_str(), nullptr);
        case Entry::HardLink:
            return CreateHardLinkW(path.c_str(), Extended(Full(e.target)).c_str(), nullptr);
        case Entry::FolderLink: {
            const testsupport::UnixNameOf unixName = testsupport::WineUnixNames();
            if (!unixName)
                return testsupport::MakeFolderLink(Full(rel), Full(e.target));
#if defined(__i386__)
            char* target = unixName(Extended(Full(e.target)).c_str());
            char* link = unixName(path.c_str());
            const bool made = target && link && testsupport::HostSyscall(83 /* symlink */, target, link) == 0;
            HeapFree(GetProcessHeap(), 0, target);
            HeapFree(GetProcessHeap(), 0, link);
            return made;
#else
            return false;
#endif
        }
        case Entry::File:
            break;
        }
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        const std::string bytes = Content(e);
        DWORD written = 0;
        const FILETIME time{static_cast<DWORD>(e.written), static_cast<DWORD>(e.written >> 32)};
        const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                        written == bytes.size() && SetFileTime(file, nullptr, nullptr, &time);
        CloseHandle(file);
        return ok && (e.attributes == 0 || SetFileAttributesW(path.c_str(), e.attributes));
    }

    int made_ = 0;
    const Case& case_;
    testsupport::TempFolder temp_;
    std::unique_ptr<testsupport::TempFolder> other_;
    std::string otherRoot_;
};

inline Outcome RunCase(const Case& c) { return CaseRunner(c).Run(); }

// The first invariant a case breaks, or empty.
inline std::string FirstBroken(const Outcome& o) { return o.violations.empty() ? std::string() : o.violations.front().invariant; }

// The smallest case found that still breaks the same invariant: entries (with what lies in them and
// the links to them), sources, filters, answers and endings taken away one at a time while it does.
inline Case Shrink(Case c, const std::string& invariant, int budget = 400)
{
    const auto fails = [&](const Case& candidate) {
        if (--budget < 0)
            return false;
        const Outcome o = RunCase(candidate);
        if (!o.unmade.empty())
            return false;
        for (const Violation& v : o.violations)
            if (v.invariant == invariant)
                return true;
        return false;
    };
    const auto without = [](const Case& from, std::size_t index) {
        Case to = from;
        const std::string gone = from.world[index].path;
        to.world.clear();
        for (const Entry& e : from.world)
            if (e.path != gone && e.path.rfind(gone + "\\", 0) != 0 && e.target != gone && e.target.rfind(gone + "\\", 0) != 0)
                to.world.push_back(e);
        return to;
    };
    for (bool smaller = true; smaller && budget > 0;) {
        smaller = false;
        for (std::size_t i = c.world.size(); i-- > 0;) {
            if (i >= c.world.size() || c.world[i].path == "src" || c.world[i].path == "other")
                continue;
            Case candidate = without(c, i);
            if (fails(candidate))
                c = candidate, smaller = true;
        }
        for (std::size_t i = c.job.sources.size(); c.job.sources.size() > 1 && i-- > 0;) {
            Case candidate = c;
            candidate.job.sources.erase(candidate.job.sources.begin() + static_cast<std::ptrdiff_t>(i));
            if (fails(candidate))
                c = candidate, smaller = true;
        }
        const std::vector<std::function<void(Job&)>> simpler = {
            [](Job& j) { j.masks = "*.*"; j.extensions.clear(); },
            [](Job& j) { j.timeFrom = 0.0; j.timeTo = 2958465.0; j.minSize = 0; j.maxSize = INT64_MAX; },
            [](Job& j) { j.flat = false; },
            [](Job& j) { j.cancelAtPump = j.cancelAtQuestion = j.pauseAtPump = -1; },
            [](Job& j) { if (j.fileAnswers.size() > 1) j.fileAnswers.resize(1); },
            [](Job& j) { if (j.folderAnswers.size() > 1) j.folderAnswers.resize(1); },
        };
        for (const auto& simplify : simpler) {
            Case candidate = c;
            simplify(candidate.job);
            if (candidate.job.masks == c.job.masks && candidate.job.flat == c.job.flat && candidate.job.timeFrom == c.job.timeFrom &&
                candidate.job.minSize == c.job.minSize && candidate.job.maxSize == c.job.maxSize &&
                candidate.job.cancelAtPump == c.job.cancelAtPump && candidate.job.cancelAtQuestion == c.job.cancelAtQuestion &&
                candidate.job.pauseAtPump == c.job.pauseAtPump && candidate.job.fileAnswers.size() == c.job.fileAnswers.size() &&
                candidate.job.folderAnswers.size() == c.job.folderAnswers.size() && candidate.job.extensions.size() == c.job.extensions.size())
                continue;  // nothing to take away
            if (fails(candidate))
                c = candidate, smaller = true;
        }
    }
    return c;
}

inline std::string Quoted(const std::string& text)
{
    std::string q = "\"";
    for (const char ch : text)
        q += ch == '\\' ? std::string("\\\\") : ch == '"' ? std::string("\\\"") : std::string(1, ch);
    return q + "\"";
}

// The case as code to paste into the suite's list of found cases.
inline std::string AsCode(const Case& c)
{
    static const char* kinds[] = {"Entry::Folder", "Entry::File", "Entry::HardLink", "Entry::FolderLink"};
    static const char* ops[] = {"kOpCopy", "kOpCut", "kOpTrash", "kOpDelete", "kOpCrush"};
    const auto answers = [](const std::vector<ConflictAnswer>& list) {
        std::string text = "{";
        for (const ConflictAnswer& a : list)
            text += "{static_cast<ConflictDecision>(" + std::to_string(a.decision) + "), " + (a.useForRest ? "true" : "false") + "}, ";
        return text + "}";
    };
    std::string code = "{  // seed " + std::to_string(c.seed) + "\n    Case c;\n    c.world = {\n";
    for (const Entry& e : c.world)
        code += "        {" + std::string(kinds[e.kind]) + ", " + Quoted(e.path) + ", " + Quoted(e.target) + ", " +
                std::to_string(e.size) + "u, " + std::to_string(e.fill) + "u, " + std::to_string(e.written) + "ull, " +
                std::to_string(e.attributes) + "},\n";
    code += "    };\n    Job& j = c.job;\n    j.operation = " + std::string(ops[c.job.operation]) + ";\n    j.sources = {";
    for (const std::string& s : c.job.sources)
        code += Quoted(s) + ", ";
    char window[160];
    std::snprintf(window, sizeof window, "j.timeFrom = %.1f; j.timeTo = %.1f; j.minSize = %lldll; j.maxSize = %lldll;",
                  c.job.timeFrom, c.job.timeTo, static_cast<long long>(c.job.minSize), static_cast<long long>(c.job.maxSize));
    code += "};\n    j.destination = " + Quoted(c.job.destination) + ";\n    j.flat = " + (c.job.flat ? "true" : "false") +
            ";\n    j.masks = " + Quoted(c.job.masks) + ";\n    j.extensions = {";
    for (const ExtensionEntry& x : c.job.extensions)
        code += "{" + Quoted(x.extension) + ", " + (x.checked ? "true" : "false") + "}, ";
    code += "};\n    " + std::string(window) + "\n    j.fileAnswers = " + answers(c.job.fileAnswers) +
            ";\n    j.folderAnswers = " + answers(c.job.folderAnswers) + ";\n    j.fileRenameNew = " +
            (c.job.fileRenameNew ? "true" : "false") + "; j.folderRenameNew = " + (c.job.folderRenameNew ? "true" : "false") +
            ";\n    j.cancelAtQuestion = " + std::to_string(c.job.cancelAtQuestion) + "; j.cancelAtPump = " +
            std::to_string(c.job.cancelAtPump) + "; j.pauseAtPump = " + std::to_string(c.job.pauseAtPump) + ";\n    return c;\n}\n";
    return code;
}

inline std::string Describe(const Outcome& o)
{
    std::string text;
    if (!o.unmade.empty())
        text += "world could not be made: " + o.unmade + "\n";
    for (const Violation& v : o.violations)
        text += v.invariant + ": " + v.detail + "\n";
    if (!o.violations.empty())
        text += "changes:\n" + o.changes;
    return text;
}

} // namespace randomjobs
