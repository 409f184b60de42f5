#pragma once
// The main window: menu bar, the standard and the filter toolbar with their
// drop-down buttons, the status panes, the splitter that holds the tree and
// the list, and the docking output window, all laid out by wxAUI. It shows
// the progress of long insertions in the status bar (WM_PROGRESS_START,
// _STEP, _END from the nodes) and, when closed while workers run, waits
// for them. Its place, the splitter's position and whether the output
// window is shown are kept when it goes and come back in the next one
// (dialogcore/MainFrameLayout.h); a kept place on no screen is not used.

#include <cstdint>
#include <memory>
#include <string>

#include <wx/aui/aui.h>
#include <wx/frame.h>
#include <wx/listctrl.h>
#include <wx/splitter.h>
#include <wx/treectrl.h>

#include "platform/Dispatcher.h"
#include "platform/ShellPorts.h"
#include "shellcore/CommandTextMap.h"
#include "shellcore/FrameMenuSource.h"
#include "widgets/CResizableState.h"
#include "widgets/ThemeAttributes.h"

class CArbDocument;
class CArbListView;
class CArbStatusBar;
class CArbTreeView;
class CBCGPopupMenuEx;
class CCommandComboBox;
class COutputBar;
class COutputList;
class CProgressBar;

class CArbMainFrame : public wxFrame, public platform::MessageReceiver, private CResizableState {
public:
    CArbMainFrame();
    ~CArbMainFrame() override;

    // Makes the window and its bars. False when a bar, the splitter or a
    // view cannot be made; the caller then destroys the window.
    bool Create();

    // Menu 138 without the hidden commands, About named by string 102, the
    // toolbar list in place of its placeholder. The caller owns it.
    static wxMenuBar* LoadMainMenu();
    // Position of the first top-level menu whose text is exactly text, or -1.
    static int FindTopMenuItem(wxMenuBar* menu, const wxString& text);

    void StoreCommandText(uint32_t command, const wxString& text);
    bool LookupCommandText(uint32_t command, std::wstring& text) const;
    void SetFilterText(const wxString& text);
    CCommandComboBox* GetFilterCombo() const { return m_filterCombo; }

    void ShowOutputBar();
    void ShowPane(const char* name, bool show);
    bool IsPaneShown(const char* name) const;
    COutputList* GetOutputList() const;

    wxTreeCtrlBase* GetTreeCtrl() const { return m_tree; }
    CArbTreeView* GetTreeView() const { return m_treeView; }
    CArbDocument* GetDocument() const { return m_document.get(); }
    // The view that takes commands first: the one that had the focus last.
    wxWindow* GetActiveView() const;
    wxListCtrl* GetListCtrl() const;
    // The view in the splitter's right pane.
    CArbListView* GetListView() const { return m_list; }
    wxSplitterWindow* GetSplitter() const { return m_splitter; }
    wxAuiToolBar* GetMainToolBar() const { return m_mainToolBar; }
    wxAuiToolBar* GetSecondToolBar() const { return m_secondToolBar; }
    CArbStatusBar* GetArbStatusBar() const { return m_statusBar; }
    CProgressBar* GetProgressBar() const { return m_progress.get(); }
    wxAuiManager& GetAuiManager() { return m_aui; }

    // The document's status fields, shown in the panes.
    void SetPaneText1(const wxString& text);
    void SetPaneText2(const wxString& text);
    void SetPaneValue(int value);
    void SetMessageText(const wxString& text);

    // The drop-down lists' contents and actions; none: the lists are empty.
    void SetMenuSource(std::shared_ptr<CFrameMenuSource> source) { m_menuSource = std::move(source); }
    // Runs the list rules on a popup about to open (favourites, entry
    // templates, history, the toolbar list). False: it is not shown.
    bool PreparePopupMenu(wxMenu* menu);
    // A view's context menu about to open: the filter item becomes an edit
    // box holding the filter it shows, whose text is left under its command.
    void PrepareContextMenu(CBCGPopupMenuEx& menu);

    void OnMessage(platform::MessageId id, uintptr_t wParam, intptr_t lParam,
                   std::unique_ptr<platform::MessagePayload> payload) override;

    wxVisualAttributes GetDefaultAttributes() const override;

protected:
    // Commands go to the active view, the document, then the frame (and the
    // application after it).
    bool TryBefore(wxEvent& event) override;

private:
    wxWindow* GetLayoutWindow() override { return this; }
    void SaveLayout();
    void KeepSashWhenSized(int position);
    bool CreateToolBars();
    wxAuiToolBar* LoadToolBar(unsigned id);
    void AttachMenuButtons();
    void RemoveHiddenButtons();
    void UpdateStatusPanes();

    void OnClose(wxCloseEvent& event);
    void OnToolDropDown(wxAuiToolBarEvent& event);
    void OnToolBarRightClick(wxAuiToolBarEvent& event);
    void OnMenuOpen(wxMenuEvent& event);
    void OnToggleBar(wxCommandEvent& event);
    void OnUpdateToggleBar(wxUpdateUIEvent& event);
    void OnHideOutput(wxCommandEvent& event);
    void OnViewStyle(wxCommandEvent& event);
    void OnUpdateViewStyle(wxUpdateUIEvent& event);
    void OnClipboardCommand(wxCommandEvent& event);
    void OnRangeCommand(wxCommandEvent& event);
    void OnNothing(wxCommandEvent& event);
    void OnExit(wxCommandEvent& event);
    void OnIdleStatus(wxIdleEvent& event);
    void OnHelpCommand(wxCommandEvent& event);
    void OnContextHelp(wxCommandEvent& event);
    // A click of "What's This?" gives the popup of the part clicked; any
    // other help request opens the main window's page.
    void OnHelp(wxHelpEvent& event);

    wxAuiManager m_aui;
    ThemeAttributes m_theme;
    wxSplitterWindow* m_splitter = nullptr;
    std::shared_ptr<CArbDocument> m_document;
    std::shared_ptr<platform::DocumentPort> m_previousDocumentPort;
    CArbTreeView* m_treeView = nullptr;
    wxTreeCtrlBase* m_tree = nullptr;
    CArbListView* m_list = nullptr;
    wxAuiToolBar* m_mainToolBar = nullptr;
    wxAuiToolBar* m_secondToolBar = nullptr;
    CCommandComboBox* m_filterCombo = nullptr;
    CArbStatusBar* m_statusBar = nullptr;
    COutputBar* m_outputBar = nullptr;
    std::unique_ptr<CProgressBar> m_progress;
    CCommandTextMap m_commandTexts;
    std::shared_ptr<CFrameMenuSource> m_menuSource;
    platform::ReceiverRegistration m_registration;

    wxString m_paneText1, m_paneText2, m_shownText1, m_shownText2;
    int m_paneValue = 0;
    int m_shownValue = -1;
    // Made whole: only such a window keeps its layout.
    bool m_created = false;
    // Set while "What's This?" waits for its click.
    bool m_helpMode = false;
};

// Made and laid out, not shown; null when its creation failed.
CArbMainFrame* CreateMainFrame();
