// The automation layer over COM, each half against the automation
// interface's rules rather than against the other half: the client against
// a bare IDispatch that notes what it was handed, the server against
// DISPPARAMS built by hand; then both halves around the stand-in.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "workbook/excel.h"
#include "workbook/excel_operations.h"
#include "workbook/standin_application.h"
#include "workbook_test_support.h"

#include "workbook/com/com_client_win32.h"
#include "workbook/com/com_server_win32.h"

namespace nuv::workbook::com {
namespace {

// "vt:value" of a VARIANT, as a test spells it.
std::string Spell(const VARIANT& v) {
  std::string value;
  switch (v.vt) {
    case ::VT_I2:
      value = std::to_string(v.iVal);
      break;
    case ::VT_I4:
      value = std::to_string(v.lVal);
      break;
    case ::VT_BOOL:
      value = std::to_string(v.boolVal);
      break;
    case ::VT_ERROR: {
      char hex[16];
      std::snprintf(hex, sizeof hex, "%08lX", static_cast<unsigned long>(v.scode));
      value = hex;
      break;
    }
    case ::VT_BSTR: {
      const std::wstring_view text = Bstr::View(v.bstrVal);
      value.assign(text.begin(), text.end());
      break;
    }
    default:
      break;
  }
  return std::to_string(v.vt) + ":" + value;
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
// A bare automation object: notes each Invoke as the interface delivers it
// and answers with `answer`.
class NotingServer final : public IDispatch {
 public:
  struct Noted {
    DISPID member = 0;
    WORD flags = 0;
    std::vector<DISPID> named;
    std::vector<std::string> args;  // in DISPPARAMS order
  };
  std::vector<Noted> noted;
  std::function<HRESULT(VARIANT* result, EXCEPINFO* info)> answer = [](VARIANT*, EXCEPINFO*) {
    return S_OK;
  };

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
      AddRef();
      *out = this;
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }  // lives on the stack
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* info, UINT*) override {
    Noted call{member, flags, {}, {}};
    for (UINT i = 0; i < params->cNamedArgs; ++i)
      call.named.push_back(params->rgdispidNamedArgs[i]);
    for (UINT i = 0; i < params->cArgs; ++i)
      call.args.push_back(Spell(params->rgvarg[i]));
    noted.push_back(call);
    return answer(result, info);
  }
  ULONG references() const { return references_; }

 private:
  ULONG references_ = 1;
};
#pragma GCC diagnostic pop

TEST(ComClient, SendsEachMemberWithItsIdFlagsAndArgumentsInReverse) {
  const std::string missing = "10:80020004";
  struct Case {
    const char* what;
    std::function<void(const DispatchRef&)> call;
    DISPID member;
    WORD flags;
    std::vector<DISPID> named;
    std::vector<std::string> args;  // last argument first
  } cases[] = {
      {"Range.Item put",
       [](const DispatchRef& o) {
         ExcelRange(o).SetItem(Variant::I4(3), Variant::I4(2), Variant::Text("x"));
       },
       0xAA,
       DISPATCH_PROPERTYPUT,
       {DISPID_PROPERTYPUT},
       {"8:x", "3:2", "3:3"}},
      {"Worksheet.Range",
       [](const DispatchRef& o) {
         ExcelWorksheet(o).GetRange(Variant::Text("A1"), Variant::Text("C4"));
       },
       0xC5,
       DISPATCH_PROPERTYGET,
       {},
       {"8:C4", "8:A1"}},
      {"Workbook.Close",
       [](const DispatchRef& o) {
         ExcelWorkbook(o).Close(Variant::I2(0), MissingArgument(), MissingArgument());
       },
       0x115,
       DISPATCH_METHOD,
       {},
       {missing, missing, "2:0"}},
      {"Workbook.SaveAs",
       [&](const DispatchRef& o) {
         const Variant m = MissingArgument();
         ExcelWorkbook(o).SaveAs(Variant::Text("b.xls"), m, m, m, m, m, 0, m, m, m, m);
       },
       0x11C,
       DISPATCH_METHOD,
       {},
       {missing, missing, missing, missing, "3:0", missing, missing, missing, missing, missing,
        "8:b.xls"}},
      {"Application.Visible",
       [](const DispatchRef& o) { ExcelApplication(o).SetVisible(true); },
       0x22E,
       DISPATCH_PROPERTYPUT,
       {DISPID_PROPERTYPUT},
       {"11:-1"}},
      {"Worksheets.Item by position",
       [](const DispatchRef& o) { ExcelWorksheets(o).GetItem(Variant::I2(3)); },
       0xAA,
       DISPATCH_PROPERTYGET,
       {},
       {"2:3"}},
      {"Application.Quit",
       [](const DispatchRef& o) { ExcelApplication(o).Quit(); },
       0x12E,
       DISPATCH_METHOD,
       {},
       {}},
  };
  for (const Case& c : cases) {
    NotingServer server;
    // Object results come back as the server itself.
    server.answer = [&server](VARIANT* result, EXCEPINFO*) {
      server.AddRef();
      result->vt = ::VT_DISPATCH;
      result->pdispVal = &server;
      return S_OK;
    };
    {
      auto object = std::make_shared<ComDispatch>(ComPtr<IDispatch>::Share(&server));
      c.call(object);
    }
    ASSERT_EQ(server.noted.size(), 1u) << c.what;
    EXPECT_EQ(server.noted[0].member, c.member) << c.what;
    EXPECT_EQ(server.noted[0].flags, c.flags) << c.what;
    EXPECT_EQ(server.noted[0].named, c.named) << c.what;
    EXPECT_EQ(server.noted[0].args, c.args) << c.what;
    EXPECT_EQ(server.references(), 1u) << c.what << ": a reference was kept or lost";
  }
}

// Value2 of two rows and three columns; element (r, c) is 10 r + c, except
// (1, 2), a text, and (2, 1), empty.
SAFEARRAY* TwoByThree(LONG row_base, LONG column_base) {
  SAFEARRAYBOUND bounds[2] = {{2, row_base}, {3, column_base}};
  SAFEARRAY* array = SafeArrayCreate(::VT_VARIANT, 2, bounds);
  for (LONG r = 1; r <= 2; ++r) {
    for (LONG c = 1; c <= 3; ++c) {
      LONG index[2] = {row_base + r - 1, column_base + c - 1};
      ComVariant v;
      if (r == 1 && c == 2) {
        v.get().vt = ::VT_BSTR;
        v.get().bstrVal = SysAllocString(L"Kanal");
      } else if (!(r == 2 && c == 1)) {
        v.get().vt = ::VT_R8;
        v.get().dblVal = 10.0 * r + c;
      }
      SafeArrayPutElement(array, index, &v.get());
    }
  }
  return array;
}

TEST(ComClient, ReadsValue2RowsFirstCountedFromOneWhateverTheBounds) {
  for (auto [row_base, column_base] : {std::pair{1L, 1L}, {0L, 0L}, {5L, -2L}}) {
    NotingServer server;
    server.answer = [&](VARIANT* result, EXCEPINFO*) {
      result->vt = ::VT_ARRAY | ::VT_VARIANT;
      result->parray = TwoByThree(row_base, column_base);
      return S_OK;
    };
    auto object = std::make_shared<ComDispatch>(ComPtr<IDispatch>::Share(&server));
    const ValueArray values = ValueArray::FromVariant(ExcelRange(object).GetValue2());
    ASSERT_EQ(values.rows(), 2u) << row_base;
    ASSERT_EQ(values.columns(), 3u) << row_base;
    EXPECT_EQ(values.GetElement(1, 1), Variant::R8(11)) << row_base;
    EXPECT_EQ(values.GetElement(1, 2), Variant::Text("Kanal")) << row_base;
    EXPECT_EQ(values.GetElement(1, 3), Variant::R8(13)) << row_base;
    EXPECT_EQ(values.GetElement(2, 1), Variant()) << row_base;
    EXPECT_EQ(values.GetElement(2, 3), Variant::R8(23)) << row_base;
  }
}

HRESULT STDAPICALLTYPE FillInLater(EXCEPINFO* info) {
  info->bstrDescription = SysAllocString(L"Filled in when asked.");
  return S_OK;
}

TEST(ComClient, AFailedCallRaisesTheServersDescription) {
  struct Case {
    const char* what;
    std::function<HRESULT(VARIANT*, EXCEPINFO*)> answer;
    std::string text;
  } cases[] = {
      {"description",
       [](VARIANT*, EXCEPINFO* info) {
         info->bstrSource = SysAllocString(L"Excel.Application");
         info->bstrDescription = SysAllocString(L"Sorry, we couldn't find b.xls.");
         info->scode = E_FAIL;
         return DISP_E_EXCEPTION;
       },
       "Sorry, we couldn't find b.xls."},
      {"deferred",
       [](VARIANT*, EXCEPINFO* info) {
         info->pfnDeferredFillIn = &FillInLater;
         info->scode = E_FAIL;
         return DISP_E_EXCEPTION;
       },
       "Filled in when asked."},
  };
  for (const Case& c : cases) {
    NotingServer server;
    server.answer = c.answer;
    auto object = std::make_shared<ComDispatch>(ComPtr<IDispatch>::Share(&server));
    EXPECT_EQ(testing::AutomationErrorOf([&] { ExcelApplication(object).Quit(); }), c.text)
        << c.what;
  }
  // A status without a description still fails the call.
  NotingServer server;
  server.answer = [](VARIANT*, EXCEPINFO*) { return DISP_E_MEMBERNOTFOUND; };
  auto object = std::make_shared<ComDispatch>(ComPtr<IDispatch>::Share(&server));
  EXPECT_THROW(ExcelApplication(object).Quit(), AutomationError);
}

// Notes the calls an offered object receives, in the tool's terms.
class NotingObject final : public Dispatch {
 public:
  std::vector<std::string> noted;
  std::function<Variant()> answer = [] { return Variant(); };
  Variant Invoke(DispId member, InvokeKind kind, std::span<const Variant> args) override {
    std::string text = std::to_string(member) + "/" + std::to_string(static_cast<int>(kind));
    for (const Variant& arg : args)
      text += " " + std::to_string(arg.type()) + ":" +
              (arg.type() == VT_BSTR ? arg.AsUtf8() : std::to_string(arg.AsInt()));
    noted.push_back(text);
    return answer();
  }
};

VARIANT Number(LONG value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = ::VT_I4;
  v.lVal = value;
  return v;
}

TEST(ComServer, HandsTheArgumentsOverInDeclaredOrder) {
  auto object = std::make_shared<NotingObject>();
  ComPtr<IDispatch> offered = OfferObject(object);
  VARIANT args[3] = {Number(7), Number(2), Number(3)};  // last argument first
  // A client may pass a VARIANT by reference, as the framework's drivers do.
  VARIANT by_reference[2] = {Number(0), Number(5)};
  by_reference[0].vt = ::VT_BYREF | ::VT_VARIANT;
  by_reference[0].pvarVal = &args[0];
  DISPID put = DISPID_PROPERTYPUT;
  struct Case {
    WORD flags;
    DISPPARAMS params;
    HRESULT status;
    const char* noted;
  } cases[] = {
      {DISPATCH_PROPERTYPUT, {args, &put, 3, 1}, S_OK, "170/4 3:3 3:2 3:7"},
      {DISPATCH_METHOD, {args + 1, nullptr, 2, 0}, S_OK, "197/1 3:3 3:2"},
      {DISPATCH_METHOD, {by_reference, nullptr, 2, 0}, S_OK, "197/1 3:5 3:7"},
      {DISPATCH_PROPERTYGET, {args, nullptr, 1, 0}, S_OK, "197/2 3:7"},
      {DISPATCH_METHOD | DISPATCH_PROPERTYGET, {nullptr, nullptr, 0, 0}, S_OK, "197/1"},
      // A put must name its value; nothing else takes named arguments.
      {DISPATCH_PROPERTYPUT, {args, nullptr, 1, 0}, DISP_E_PARAMNOTOPTIONAL, nullptr},
      {DISPATCH_METHOD, {args, &put, 1, 1}, DISP_E_NONAMEDARGS, nullptr},
  };
  for (Case& c : cases) {
    object->noted.clear();
    const DISPID member = c.flags == DISPATCH_PROPERTYPUT ? 0xAA : 0xC5;
    EXPECT_EQ(offered->Invoke(member, IID_NULL, 0, c.flags, &c.params, nullptr, nullptr, nullptr),
              c.status)
        << c.noted;
    EXPECT_EQ(object->noted,
              c.noted ? std::vector<std::string>{c.noted} : std::vector<std::string>{});
  }
}

TEST(ComServer, AnswersWithAnArrayCountedFromOneOrTheErrorsDescription) {
  auto object = std::make_shared<NotingObject>();
  ComPtr<IDispatch> offered = OfferObject(object);
  DISPPARAMS none{};
  object->answer = [] {
    auto values = std::make_shared<ValueArray>(2, 3);
    values->Set(2, 3, Variant::R8(23));
    return Variant::Array(values);
  };
  ComVariant result;
  ASSERT_EQ(offered->Invoke(0x56C, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, result.Receive(),
                            nullptr, nullptr),
            S_OK);
  ASSERT_EQ(result.get().vt, ::VT_ARRAY | ::VT_VARIANT);
  SAFEARRAY* array = result.get().parray;
  LONG bounds[4] = {};
  SafeArrayGetLBound(array, 1, &bounds[0]);
  SafeArrayGetUBound(array, 1, &bounds[1]);
  SafeArrayGetLBound(array, 2, &bounds[2]);
  SafeArrayGetUBound(array, 2, &bounds[3]);
  EXPECT_EQ(std::vector<LONG>(bounds, bounds + 4), (std::vector<LONG>{1, 2, 1, 3}));
  LONG index[2] = {2, 3};
  ComVariant element;
  SafeArrayGetElement(array, index, element.Receive());
  EXPECT_EQ(Spell(element.get()), "5:");
  EXPECT_EQ(element.get().dblVal, 23.0);

  object->answer = []() -> Variant {
    throw AutomationError("The workbook has no sheet named \"X\".");
  };
  EXCEPINFO info{};
  EXPECT_EQ(offered->Invoke(0x56C, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, result.Receive(),
                            &info, nullptr),
            DISP_E_EXCEPTION);
  EXPECT_EQ(Bstr::View(info.bstrDescription), L"The workbook has no sheet named \"X\".");
  SysFreeString(info.bstrDescription);
  SysFreeString(info.bstrSource);
  SysFreeString(info.bstrHelpFile);
}

TEST(ComServer, FindsMemberIdsByNameWithoutRegardToCase) {
  ComPtr<IDispatch> offered = OfferObject(std::make_shared<NotingObject>());
  struct Case {
    const wchar_t* name;
    HRESULT status;
    DISPID id;
  } cases[] = {{L"Value2", S_OK, 0x56C},
               {L"value2", S_OK, 0x56C},
               {L"ColorIndex", S_OK, 0x61},
               {L"Value", DISP_E_UNKNOWNNAME, DISPID_UNKNOWN}};
  for (const Case& c : cases) {
    LPOLESTR names[1] = {const_cast<LPOLESTR>(c.name)};
    DISPID id = 0;
    EXPECT_EQ(offered->GetIDsOfNames(IID_NULL, names, 1, 0, &id), c.status);
    EXPECT_EQ(id, c.id);
  }
}

// Both halves around the stand-in: a sheet written cell by cell comes back
// in one Value2, and a failing call brings the stand-in's own text.
TEST(ComBothHalves, TheStandInAnswersAsInProcess) {
  ExcelApplication app(std::make_shared<ComDispatch>(OfferObject(CreateStandInApplication())));
  ExcelWorkbooks books(app.GetWorkbooks());
  ExcelWorkbook book(books.Add(MissingArgument()));
  ExcelWorksheets sheets(book.GetWorksheets());
  ExcelWorksheet sheet;
  FindSheetByName(sheets, "Sheet2", 3, sheet);
  EXPECT_EQ(sheet.GetName(), "Sheet2");
  ExcelRange cells(sheet.GetCells());
  cells.SetItem(Variant::I4(1), Variant::I4(1), Variant::Text("*Канал"));
  cells.SetItem(Variant::I4(3), Variant::I4(2), Variant::UI8(0xFFFFFFFFFFull));
  cells.SetItem(Variant::I4(2), Variant::I4(1), Variant::Bool(true));
  cells.SetItem(Variant::I4(3), Variant::I4(1), Variant::CellError(kErrorDiv0));
  const ValueArray values = ReadSheetValues(sheet, 3, 2);
  EXPECT_EQ(values.GetElement(2, 1), Variant::Bool(true));
  EXPECT_EQ(values.GetElement(3, 1), Variant::CellError(kErrorDiv0));
  EXPECT_EQ(values.GetElement(1, 1), Variant::Text("*Канал"));
  EXPECT_EQ(values.GetElement(3, 2), Variant::R8(0xFFFFFFFFFF));
  EXPECT_EQ(values.GetElement(2, 2), Variant());
  // The description of a failed call is the stand-in's own text.
  auto open_missing = [](const DispatchRef& application) {
    ExcelWorkbooks workbooks(ExcelApplication(application).GetWorkbooks());
    const Variant m = MissingArgument();
    return testing::AutomationErrorOf(
        [&] { workbooks.Open("no such.xls", m, m, m, m, m, m, m, m, m, m, m, m, m, m); });
  };
  const std::string in_process = open_missing(CreateStandInApplication());
  EXPECT_NE(in_process, "");
  EXPECT_EQ(open_missing(app.object()), in_process);
  CloseAndQuit(book, app);
}

}  // namespace
}  // namespace nuv::workbook::com
