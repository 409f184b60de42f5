// Views over the database and the records they give.

#include "installer/msi/HandleObjects.h"
#include "installer/msi/TextOut.h"

using namespace msi;

extern "C" {

UINT MsiDatabaseOpenViewA(MSIHANDLE hDatabase, const char* szQuery, MSIHANDLE* phView)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    auto db = Find<DatabaseObject>(hDatabase);
    if (!db) return ERROR_INVALID_HANDLE;
    if (!szQuery || !phView) return ERROR_INVALID_PARAMETER;
    Query query;
    auto view = std::make_shared<ViewObject>();
    view->database = db->database;
    UINT r = ParseQuery(szQuery, &query);
    if (r == ERROR_SUCCESS) r = View::Open(*db->database, query, &view->view);
    if (r != ERROR_SUCCESS) return r;
    *phView = AddHandle(view);
    return ERROR_SUCCESS;
}

UINT MsiViewExecute(MSIHANDLE hView, MSIHANDLE hRecord)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    auto view = Find<ViewObject>(hView);
    if (!view) return ERROR_INVALID_HANDLE;
    std::shared_ptr<RecordObject> params;
    if (hRecord) {
        params = Find<RecordObject>(hRecord);
        if (!params) return ERROR_INVALID_HANDLE;
    }
    return view->view.Execute(params ? &params->record : nullptr);
}

UINT MsiViewFetch(MSIHANDLE hView, MSIHANDLE* phRecord)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    auto view = Find<ViewObject>(hView);
    if (!view) return ERROR_INVALID_HANDLE;
    if (!phRecord) return ERROR_INVALID_PARAMETER;
    Record row(0);
    UINT r = view->view.Fetch(&row);
    if (r == ERROR_SUCCESS) *phRecord = AddHandle(std::make_shared<RecordObject>(std::move(row)));
    return r;
}

UINT MsiViewClose(MSIHANDLE hView)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    auto view = Find<ViewObject>(hView);
    if (!view) return ERROR_INVALID_HANDLE;
    view->view.Close();
    return ERROR_SUCCESS;
}

MSIHANDLE MsiCreateRecord(UINT cParams)
{
    if (cParams > 65535) return 0;
    return AddHandle(std::make_shared<RecordObject>(Record(cParams)));
}

UINT MsiRecordGetFieldCount(MSIHANDLE hRecord)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    auto rec = Find<RecordObject>(hRecord);
    return rec ? rec->record.Count() : static_cast<UINT>(-1);
}

BOOL MsiRecordIsNull(MSIHANDLE hRecord, UINT iField)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    auto rec = Find<RecordObject>(hRecord);
    return !rec || !rec->record.Has(iField) || rec->record.Get(iField).IsNull() ? TRUE : FALSE;
}

int MsiRecordGetInteger(MSIHANDLE hRecord, UINT iField)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    auto rec = Find<RecordObject>(hRecord);
    if (!rec || !rec->record.Has(iField)) return MSI_NULL_INTEGER;
    return rec->record.Get(iField).AsInteger();
}

UINT MsiRecordSetInteger(MSIHANDLE hRecord, UINT iField, int iValue)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    auto rec = Find<RecordObject>(hRecord);
    if (!rec) return ERROR_INVALID_HANDLE;
    if (!rec->record.Has(iField)) return ERROR_INVALID_PARAMETER;
    rec->record.Set(iField, iValue == MSI_NULL_INTEGER ? Value() : Value(iValue));
    return ERROR_SUCCESS;
}

UINT MsiRecordGetStringA(MSIHANDLE hRecord, UINT iField, char* szValueBuf, DWORD* pcchValueBuf)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    auto rec = Find<RecordObject>(hRecord);
    if (!rec) return ERROR_INVALID_HANDLE;
    if (!rec->record.Has(iField)) return CopyOut(std::string(), szValueBuf, pcchValueBuf);
    const Value& v = rec->record.Get(iField);
    if (v.kind() == Value::Kind::Stream) return ERROR_INVALID_DATATYPE;
    return CopyOut(v.AsText(), szValueBuf, pcchValueBuf);
}

UINT MsiRecordSetStringA(MSIHANDLE hRecord, UINT iField, const char* szValue)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    auto rec = Find<RecordObject>(hRecord);
    if (!rec) return ERROR_INVALID_HANDLE;
    if (!rec->record.Has(iField)) return ERROR_INVALID_PARAMETER;
    rec->record.Set(iField, szValue && *szValue ? Value(szValue) : Value());
    return ERROR_SUCCESS;
}

UINT MsiRecordReadStream(MSIHANDLE hRecord, UINT iField, char* szDataBuf, DWORD* pcbDataBuf)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    auto rec = Find<RecordObject>(hRecord);
    if (!rec) return ERROR_INVALID_HANDLE;
    if (!pcbDataBuf || !rec->record.Has(iField)) return ERROR_INVALID_PARAMETER;
    const Value& v = rec->record.Get(iField);
    if (v.kind() != Value::Kind::Stream && !v.IsNull()) return ERROR_INVALID_DATATYPE;
    if (!szDataBuf) {
        *pcbDataBuf = static_cast<DWORD>(rec->record.Remaining(iField));
        return ERROR_SUCCESS;
    }
    *pcbDataBuf = static_cast<DWORD>(
        rec->record.Read(iField, reinterpret_cast<unsigned char*>(szDataBuf), *pcbDataBuf));
    return ERROR_SUCCESS;
}

} // extern "C"
