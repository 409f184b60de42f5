#pragma once
// A progress window without a display, for tests and programs without a
// window system. It records what a real window would show in a record that
// outlives it, so a test can still read it after the list view (or a failed
// post) has deleted the window.

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "jobs/CProgressDlg.h"

struct HeadlessProgressView {
    bool windowExists = false;
    bool visible = false;
    int x = 0;
    int y = 0;
    std::wstring title;
    int openAnimation = 0;
    bool playing = false;
    bool stopEnabled = true;
    // Every text set, in order.
    std::vector<std::wstring> mainTexts;
    std::vector<std::wstring> statusTexts;
    // How often the window was destroyed, and whether on the UI thread.
    int windowDestroyed = 0;
    bool destroyedOnUiThread = false;
    bool deleted = false;
    bool deletedOnUiThread = false;
};

class HeadlessProgressRecord {
public:
    HeadlessProgressView Get() const;

private:
    friend class CHeadlessProgressDlg;
    mutable std::mutex m_lock;
    HeadlessProgressView m_view;
};

class CHeadlessProgressDlg : public CProgressDlg {
public:
    explicit CHeadlessProgressDlg(const ProgressRect& desktop = ProgressRect{0, 0, 1024, 768}, int width = 300,
                                  int height = 100, bool canCreate = true);
    ~CHeadlessProgressDlg() override;

    std::shared_ptr<const HeadlessProgressRecord> GetRecord() const { return m_record; }

protected:
    bool CreateWindowObject() override;
    void ShowMainText(const std::wstring& text) override;
    void ShowStatusText(const std::wstring& text) override;
    void OpenAnimation(int resource) override;
    void Animate(bool play) override;
    ProgressRect GetDesktopRect() const override { return m_desktop; }
    void GetWindowSize(int& width, int& height) const override;
    void MoveAndShow(int x, int y) override;
    void HideWindow() override;
    void DisableStop() override;
    void DestroyWindowObject() override;

private:
    template <class F>
    void Update(F&& change)
    {
        std::lock_guard<std::mutex> lock(m_record->m_lock);
        change(m_record->m_view);
    }

    std::shared_ptr<HeadlessProgressRecord> m_record = std::make_shared<HeadlessProgressRecord>();
    ProgressRect m_desktop;
    int m_width;
    int m_height;
    bool m_canCreate;
};
