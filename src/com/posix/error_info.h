// Error info: the description of the last failure of a call, kept per thread. A server
// that fails a call creates one with CreateErrorInfo and hands it over with SetErrorInfo;
// the caller, after asking ISupportErrorInfo, takes it back with GetErrorInfo.
#pragma once

#include "com/posix/bstr.h"
#include "com/posix/unknown.h"

struct IErrorInfo : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetGUID(GUID* guid) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetSource(BSTR* source) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDescription(BSTR* description) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetHelpFile(BSTR* help_file) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetHelpContext(DWORD* help_context) = 0;
};

struct ICreateErrorInfo : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE SetGUID(REFGUID guid) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetSource(LPOLESTR source) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetDescription(LPOLESTR description) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetHelpFile(LPOLESTR help_file) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetHelpContext(DWORD help_context) = 0;
};

struct ISupportErrorInfo : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) = 0;
};

inline constexpr IID IID_IErrorInfo{
    0x1CF2B120, 0x547D, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};
inline constexpr IID IID_ICreateErrorInfo{
    0x22F03340, 0x547D, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};
inline constexpr IID IID_ISupportErrorInfo{
    0xDF0B3D60, 0x548F, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};

// A new, empty error object; its ICreateErrorInfo also answers for IErrorInfo.
HRESULT CreateErrorInfo(ICreateErrorInfo** info);
// Makes `info` (may be null) the thread's error object, adding a reference to it.
HRESULT SetErrorInfo(ULONG reserved, IErrorInfo* info);
// Hands the thread's error object over to the caller and clears it: S_FALSE and null
// when there is none.
HRESULT GetErrorInfo(ULONG reserved, IErrorInfo** info);
