// Progress of korva fit on standard error: a bar with the repetition count and
// an estimate of the time left when standard error is a terminal, one plain
// line per finished repetition otherwise.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

class progress_display {
  public:
    // Nothing is shown when quiet.
    explicit progress_display(bool quiet);
    ~progress_display();
    progress_display(const progress_display&) = delete;
    progress_display& operator=(const progress_display&) = delete;

    // A step without a measure of its own ("growing the tree").
    void step(const std::string& what);
    // Cross-validation begins: folds x repeats folds, counted by folds_finished.
    void start_folds(int folds, int repeats);
    // The display ends; an open bar gets its line end.
    void finish();

  private:
    void watch();
    void draw(long done, bool final);

    bool quiet_;
    bool terminal_;
    int folds_ = 0;
    int repeats_ = 0;
    long start_count_ = 0;
    // Plain lines: the start has been announced, the last repetition reported
    // and when (seconds into the cross-validation).
    bool announced_ = false;
    long last_reported_ = 0;
    double last_line_ = 0;
    std::chrono::steady_clock::time_point started_;
    std::mutex lock_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread watcher_;
};
