#pragma once
// A page of the connection-profile wizard: a panel from the resource
// library's dialog template, editing the wizard's profile in place.

#include <wx/panel.h>

class CProfileEditorWizard;
class CServerProfile;

class CProfileWizardPage : public wxPanel {
public:
    // What OnWizardNext and OnWizardBack return besides a page index.
    static constexpr int kStay = -1;
    static constexpr int kNeighbour = -2;  // the next (or previous) page

    CProfileWizardPage(CProfileEditorWizard& wizard, unsigned dialogId);

    // The page has become the current one.
    virtual void OnSetActive() {}
    virtual int OnWizardNext() { return kNeighbour; }
    virtual int OnWizardBack() { return kNeighbour; }
    // False keeps the wizard open.
    virtual bool OnWizardFinish() { return true; }
    // The wizard was finished: what was typed here goes to the recent-items lists.
    virtual void RecordRecentItems() {}

protected:
    CProfileEditorWizard& Wizard() { return m_wizard; }
    CServerProfile& Profile();
    // A control of the template; null when the template lacks it.
    template <class T>
    T* Control(int id) const
    {
        return dynamic_cast<T*>(FindWindow(id));
    }

private:
    CProfileEditorWizard& m_wizard;
};
