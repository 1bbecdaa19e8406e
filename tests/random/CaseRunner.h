#pragma once
#include "engine/jobrun.h"
#include "tests/random/JobChecks.h"
#include "tests/random/JobModel.h"
#include "tests/random/RandomCase.h"
#include "tests/support/OtherVolume.h"
#include "tests/support/PathSpellings.h"
#include "tests/support/ScriptedHost.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WineProcess.h"

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

// The first argument that makes this program the child process of a job killed in its middle.
inline constexpr char kJobUntilKilled[] = "--job-until-killed";

struct Outcome {
    std::string unmade;  // an entry the world could not be given; then nothing ran
    std::vector<Violation> violations;
    std::string log;
    std::string changes;  // what the job changed, name by name
    // What the job met, for the long mode's summary of how much each kind of case was tried.
    bool refused = false, modelled = false, cancelled = false, killed = false, selectsTwice = false;
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
    CaseRunner(const CaseRunner&) = delete;
    CaseRunner& operator=(const CaseRunner&) = delete;
    // The folder links go first, by the host's own call: once what one leads to is gone, Wine lists
    // it no more, and the removal of the world would stop at the folder that still holds it.
    ~CaseRunner()
    {
        const testsupport::UnixNameOf unixName = testsupport::WineUnixNames();
        for (const std::string& link : links_) {
            if (RemoveDirectoryW(Extended(Full(link)).c_str()) || !unixName)
                continue;
#if defined(__i386__)
            if (char* name = unixName(Extended(Full(link)).c_str())) {
                testsupport::HostSyscall(10 /* unlink */, name, nullptr);
                HeapFree(GetProcessHeap(), 0, name);
            }
#endif
        }
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
        for (const Entry& e : case_.world)
            if (e.kind == Entry::FolderLink)
                links_.push_back(e.path);
        const Snapshot before = World();
        const Expected expected = Model(before, case_.job);
        const JobOutput job = case_.job.killAtPump >= 0 ? RunKilled() : RunJobAt(case_.job, temp_.Path(), otherRoot_);

        JobResult result;
        result.ran = !job.refused;
        result.ranToEnd = !job.cancelled && !job.killed;
        result.killed = job.killed;
        result.done = job.done;
        result.failed = job.failed;
        result.settledDone = job.settledDone;
        result.settledFailed = job.settledFailed;
        result.log = job.log;
        outcome.log = job.log;
        const Snapshot after = World();
        for (const auto& [key, seen] : after)
            if (seen.kind == Seen::Link)
                links_.push_back(key);  // a link the job moved
        outcome.changes = Changes(before, after) + job.asked;
        outcome.refused = job.refused;
        outcome.modelled = expected.exact && !expected.refused;
        outcome.cancelled = job.cancelled;
        outcome.killed = job.killed && !job.endedBeforeKill;
        outcome.selectsTwice = expected.selectsTwice;
        outcome.questions = job.questions;
        outcome.done = job.done;
        outcome.failed = job.failed;
        outcome.violations = JobChecks(before, after, expected, case_.job, result).Run();
        if (job.refused != expected.refused && !expected.refusalUnsure)
            outcome.violations.push_back({"refused as the model says", job.refused ? "the job was refused" : "the job ran"});
        if (!job.unfinished.empty())
            outcome.violations.push_back({"the job ends", job.unfinished});
        return outcome;
    }

    // What a job did, seen from its host.
    struct JobOutput {
        bool refused = false, cancelled = false, killed = false, endedBeforeKill = false;
        std::int64_t done = 0, failed = 0, questions = 0;
        std::int64_t settledDone = -1, settledFailed = -1;  // as told to the host (not known once killed)
        std::string log, asked, unfinished;
    };

    // The job in this process, on the world below root (and otherRoot for the other volume's part);
    // with `killAt`, an event set at the look at the messages where the job is to be killed, after
    // which this thread waits for its end.
    static JobOutput RunJobAt(const Job& job, const std::string& root, const std::string& otherRoot,
                              HANDLE killAt = nullptr, HANDLE parent = nullptr)
    {
        Host host(job);
        host.killAt = killAt;
        host.parent = parent;
        JobState state;
        JobRun run(host, state);
        host.run = &run;
        JobRequest request = RequestFor(job, root, otherRoot, host);
        request.scan.stopped = true;  // no pre-scan: the job runs without totals
        JobOutput out;
        out.refused = InsideSourceRefusal(request).has_value();
        if (!out.refused)
            run.Run(request);
        out.cancelled = host.cancelled;
        out.done = state.filesDone;
        out.failed = state.filesFailed;
        out.settledDone = out.settledFailed = 0;
        for (const FileOutcome& told : host.outcomes) {
            out.settledDone += told.result == FileOutcome::Result::Done;
            out.settledFailed += told.result == FileOutcome::Result::Failed;
        }
        out.log = host.log;
        out.questions = static_cast<std::int64_t>(host.fileQuestions.size() + host.folderQuestions.size());
        for (const std::string& q : host.fileQuestions)
            out.asked += "  asked about file " + q + "\n";
        for (const std::string& q : host.folderQuestions)
            out.asked += "  asked about folder " + q + "\n";
        return out;
    }

    // The child process's side: the job read from its file, run until it is killed.
    static int RunUntilKilled(const std::string& jobFile, const std::string& root, const std::string& otherRoot,
                              const std::string& eventName, DWORD parentId)
    {
        const Job job = JobFromText(testsupport::ReadFileText(jobFile));
        HANDLE killAt = OpenEventA(EVENT_MODIFY_STATE, FALSE, eventName.c_str());
        HANDLE parent = OpenProcess(SYNCHRONIZE, FALSE, parentId);
        if (!killAt || !parent)
            return 3;
        RunJobAt(job, root, otherRoot, killAt, parent);
        return 0;  // ended before it was to be killed
    }

private:
    static std::string FullIn(const std::string& root, const std::string& otherRoot, const std::string& rel)
    {
        if (rel.rfind(kOther, 0) == 0)
            return otherRoot + rel.substr(std::strlen(kOther));
        return rel.empty() ? root : root + "\\" + rel;
    }

    template <class H> static JobRequest RequestFor(const Job& job, const std::string& root, const std::string& otherRoot, H& host)
    {
        host.operation = job.operation;
        static const char* headers[] = {"Copy\n", "Cut\n", "Move to trash\n", "Delete\n", "Crush\n"};
        host.operationHeader = headers[job.operation];
        for (const std::string& s : job.sources)
            host.sources.push_back(FullIn(root, otherRoot, s));
        host.destination = job.destination.empty() ? std::string() : FullIn(root, otherRoot, job.destination);
        host.flat = job.flat;
        host.filters = FilterSet{job.masks, job.extensions, job.timeFrom, job.timeTo, job.minSize, job.maxSize};
        host.fileRenameNew = job.fileRenameNew;
        host.folderRenameNew = job.folderRenameNew;
        return host.Request();
    }

    // The job in a child process (this program again), killed at its look at the messages the case
    // names: as a crash or the task manager would end it.
    JobOutput RunKilled()
    {
        JobOutput out;
        ScriptedHost plain;
        out.refused = InsideSourceRefusal(RequestFor(case_.job, temp_.Path(), otherRoot_, plain)).has_value();
        if (out.refused)
            return out;
        testsupport::TempFolder work;
        const std::string jobFile = work / "job.txt";
        testsupport::WriteFileText(jobFile, JobText(case_.job));
        const std::string eventName = "orv_random_kill_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++kills_);
        HANDLE killAt = CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
        char exe[MAX_PATH] = "";
        GetModuleFileNameA(nullptr, exe, sizeof exe);
        testsupport::ChildProcess child;
        if (!killAt || !child.Start(exe, std::string(kJobUntilKilled) + " \"" + jobFile + "\" \"" + temp_.Path() + "\" \"" +
                                              otherRoot_ + "\" " + eventName + " " +
                                              std::to_string(GetCurrentProcessId()))) {
            out.unfinished = "the child process could not be started";
            if (killAt)
                CloseHandle(killAt);
            return out;
        }
        HANDLE waits[] = {killAt, child.Handle()};
        const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, 120000);
        if (woke == WAIT_OBJECT_0) {
            child.Kill();
            out.killed = true;
        } else if (woke == WAIT_OBJECT_0 + 1) {
            const DWORD code = child.WaitExit(0);
            if (code != 0)
                out.unfinished = "the child process ended with " + std::to_string(code);
            out.killed = true;  // it ran to its end, but told nothing of its counts
            out.endedBeforeKill = true;
        } else {
            child.Kill();
            out.unfinished = "the job neither ended nor came to where it was to be killed within two minutes";
        }
        CloseHandle(killAt);
        return out;
    }

    static inline int kills_ = 0;

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
        HANDLE killAt = nullptr;
        HANDLE parent = nullptr;  // the process that kills this one

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
            if (pump == job_.killAtPump && killAt) {
                SetEvent(killAt);
                // Until the parent kills this process; should the parent die first, this ends too.
                WaitForSingleObject(parent, INFINITE);
                ExitProcess(4);
            }
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

    std::string Full(const std::string& rel) const { return FullIn(temp_.Path(), otherRoot_, rel); }

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
    std::vector<std::string> links_;  // folder links made, and where the job left them
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
            [](Job& j) { j.cancelAtPump = j.cancelAtQuestion = j.pauseAtPump = j.killAtPump = -1; },
            [](Job& j) { if (j.fileAnswers.size() > 1) j.fileAnswers.resize(1); },
            [](Job& j) { if (j.folderAnswers.size() > 1) j.folderAnswers.resize(1); },
        };
        for (const auto& simplify : simpler) {
            Case candidate = c;
            simplify(candidate.job);
            if (candidate.job.masks == c.job.masks && candidate.job.flat == c.job.flat && candidate.job.timeFrom == c.job.timeFrom &&
                candidate.job.minSize == c.job.minSize && candidate.job.maxSize == c.job.maxSize &&
                candidate.job.cancelAtPump == c.job.cancelAtPump && candidate.job.cancelAtQuestion == c.job.cancelAtQuestion &&
                candidate.job.pauseAtPump == c.job.pauseAtPump && candidate.job.killAtPump == c.job.killAtPump && candidate.job.fileAnswers.size() == c.job.fileAnswers.size() &&
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
            std::to_string(c.job.cancelAtPump) + "; j.pauseAtPump = " + std::to_string(c.job.pauseAtPump) +
            "; j.killAtPump = " + std::to_string(c.job.killAtPump) + ";\n    return c;\n}\n";
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
