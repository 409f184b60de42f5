#pragma once
// The schema page of a server's advanced option sheet: the schema of the
// connection's server as the schema cache holds it, browsed by kind, with a
// button that asks for the schema to be read again at the next connection.

#include <wx/panel.h>

#include "base/RefPtr.h"
#include "dialogs/CSchemaBrowser.h"
#include "schema/LDAPSchema.h"

namespace arbldap {
class LDAPConnection;
} // namespace arbldap

class wxCheckBox;
class wxComboBox;

// Dialog template, its tab title (a string of the same id) and control ids.
constexpr unsigned kIddSchemaPage = 580;
constexpr int kIdcSchemaPageByOid = 1249;
constexpr int kIdcSchemaPageLabel = 1221;
constexpr int kIdcSchemaPageKinds = 1219;
constexpr int kIdcSchemaPageRefresh = 1023;
constexpr int kIdcSchemaPageNote = 1215;
constexpr int kIdcSchemaPageTree = 1217;

class CSchemaPropDlg : public wxPanel, public CSchemaBrowser {
public:
    // Without a schema (the page shows an empty General summary).
    CSchemaPropDlg();
    // The schema of the connection's host, held until the page goes.
    explicit CSchemaPropDlg(arbldap::LDAPConnection* connection);

    // Makes the page in the sheet's book and fills it.
    bool Create(wxWindow* book);
    // The page's tab text.
    static wxString GetPageTitle();

protected:
    virtual bool OnInitDialog();

private:
    void OnKindChosen(wxCommandEvent& event);
    void OnByOid(wxCommandEvent& event);
    void OnRefreshSchema(wxCommandEvent& event);

    RefPtr<CLDAPSchema> m_schemaRef;
    wxCheckBox* m_byOid = nullptr;
    wxComboBox* m_kinds = nullptr;
    wxWindow* m_refresh = nullptr;
    int m_checkState = 0;
};
