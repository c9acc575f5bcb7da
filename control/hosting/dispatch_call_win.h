// Late-bound calls by dispatch identifier, as the upload window drives the control.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

// Reads a property; the caller clears the result.
HRESULT GetDispatchProperty(IDispatch* object, DISPID id, VARIANT* result);

// Writes a property.
HRESULT PutDispatchProperty(IDispatch* object, DISPID id, const VARIANT& value);
HRESULT PutDispatchProperty(IDispatch* object, DISPID id, const std::u16string& text);
HRESULT PutDispatchProperty(IDispatch* object, DISPID id, LONG number);

// Calls a method with its arguments in the order of the declaration; `result` may be null.
HRESULT CallDispatchMethod(IDispatch* object, DISPID id, VARIANT* arguments, UINT count,
                           VARIANT* result);
