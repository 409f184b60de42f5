#include "shellcore/DocumentCommands.h"

#include "model/CDataObject.h"
#include "shellcore/CNavigationHistory.h"

CDocumentCommands::CDocumentCommands(const DocumentContext& context, CNavigationHistory& history)
    : m_context(context), m_history(history)
{
}

CDataObject* CDocumentCommands::GetCurrentObject() const { return nullptr; }
CDataObject* CDocumentCommands::GetCaretObject() const { return nullptr; }
CDataObject* CDocumentCommands::GetFirstSelectedListObject() const { return nullptr; }
int CDocumentCommands::GetFirstSelectedListIndex() const { return -1; }
std::vector<CDataObject*> CDocumentCommands::GetSelectedListObjects() const { return {}; }
CLDAPSchema* CDocumentCommands::GetCurrentSchema() const { return nullptr; }
bool CDocumentCommands::IsCurrentNodeOfKind(int, bool, bool, bool) const { return false; }
bool CDocumentCommands::IsListAttributeOfIdleEntry(bool, bool) const { return false; }
bool CDocumentCommands::Handles(uint32_t) { return false; }
bool CDocumentCommands::IsEnabled(uint32_t) const { return false; }
bool CDocumentCommands::Execute(uint32_t) { return false; }
intptr_t CDocumentCommands::RefreshArgument(CDataObject&) { return 1; }
bool CDocumentCommands::DeleteSelected(const std::vector<CDataObject*>&) { return false; }
std::vector<CDataObject*> CDocumentCommands::PropertiesSelection() const { return {}; }
bool CDocumentCommands::ApplyFilter(const std::wstring&) { return false; }
bool CDocumentCommands::RemoveFilter(std::wstring&) { return false; }
bool CDocumentCommands::Sort(bool) { return false; }
bool CDocumentCommands::IsTeamNode(const CDataObject&) const { return false; }
CDataObject* CDocumentCommands::OwnerOf(CDataObject* node) const { return node; }
