// What runs on a worker thread: a job is a plain function that takes its
// inputs as values, reports how far it has come to a Progress, looks at a
// StopToken between steps and returns a JobOutcome. It touches no window and
// asks the user nothing; whoever runs it tells the user what came of it.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>

namespace fw {

// Where a job reports how far it has come, in percent.
class Progress {
public:
    virtual void Set(int percent) = 0;

protected:
    ~Progress() = default;
};

// Whether the job has been asked to stop.
class StopToken {
public:
    explicit StopToken(const std::atomic<bool>& flag) : m_flag(&flag) {}
    bool StopRequested() const { return m_flag->load(); }

private:
    const std::atomic<bool>* m_flag;
};

struct JobOutcome {
    enum class Status { Completed, Stopped, Failed };
    Status status = Status::Completed;
    std::wstring path;           // failed: the file that failed
    DWORD error = ERROR_SUCCESS; // failed: the system's error code

    static JobOutcome Stopped() { return {Status::Stopped, {}, ERROR_SUCCESS}; }
    static JobOutcome Failed(std::wstring path, DWORD error) {
        return {Status::Failed, std::move(path),
                error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE};
    }
    bool IsCompleted() const { return status == Status::Completed; }
    bool IsFailed() const { return status == Status::Failed; }
};

using Job = std::function<JobOutcome(Progress& progress, const StopToken& stop)>;

} // namespace fw
