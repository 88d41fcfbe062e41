// The one implementation behind every stand-in: a call through a slot or through Invoke finds
// its member in the object's kind, is journalled and refused unless it comes with the flags and
// argument types the member expects, fails where the steering says, and is then answered.
#include <algorithm>
#include <utility>

#include "standins.h"

namespace orv::standins {
namespace {

std::string flagsText(WORD flags) {
  if (flags == kMethod) return "METHOD";
  if (flags == kProperty) return "METHOD|PROPERTYGET";
  return "flags " + hex(flags);
}

// Arguments in their natural order (DISPPARAMS holds them last first).
std::vector<VARIANT> argumentsOf(const DISPPARAMS* parameters) {
  std::vector<VARIANT> arguments;
  if (parameters == nullptr) return arguments;
  for (UINT i = parameters->cArgs; i > 0; --i) arguments.push_back(parameters->rgvarg[i - 1]);
  return arguments;
}

template <class Function>
Slot entry(Function function) {
  return reinterpret_cast<Slot>(function);
}

// Slot N, taking as many pointer-sized arguments as it is given: on 32-bit x86 the callee
// removes them, so a slot's entry must take exactly those of its member.
template <DISPID N, class... Pointers>
HRESULT STDMETHODCALLTYPE slotEntry(StandIn* self, Pointers... pointers) {
  return StandIn::CallSlot(self, N, {pointers...});
}

// Entries by slot, then by count of arguments (0 to 2).
template <std::size_t... N>
std::array<std::array<Slot, 3>, kSlots> slotEntries(std::index_sequence<N...>) {
  return {{{entry(&slotEntry<N>), entry(&slotEntry<N, void*>), entry(&slotEntry<N, void*, void*>)}...}};
}

}  // namespace

Kind::Kind(std::string name, Reached reached, std::vector<IID> interfaces, std::vector<Member> members)
    : name(std::move(name)), reached(reached), interfaces(std::move(interfaces)), members(std::move(members)) {
  static const auto entries = slotEntries(std::make_index_sequence<kSlots>());
  for (std::size_t slot = 0; slot < kSlots; ++slot) {
    const Member* at = reached == Reached::bySlot ? member(static_cast<DISPID>(slot)) : nullptr;
    vtable[slot] = entries[slot][at == nullptr ? 0 : at->arguments.size() + (at->returns != VT_EMPTY ? 1 : 0)];
  }
  const Slot standard[] = {entry(&StandIn::QueryInterface), entry(&StandIn::AddRef),
                           entry(&StandIn::Release),        entry(&StandIn::GetTypeInfoCount),
                           entry(&StandIn::GetTypeInfo),    entry(&StandIn::GetIDsOfNames),
                           entry(&StandIn::Invoke)};
  std::copy(std::begin(standard), std::end(standard), vtable.begin());
}

const Member* Kind::member(DISPID id) const {
  for (const Member& known : members)
    if (known.id == id) return &known;
  return nullptr;
}

bool Kind::implements(REFIID iid) const {
  return std::any_of(interfaces.begin(), interfaces.end(), [&](const IID& known) { return IsEqualIID(known, iid); });
}

HRESULT ErrorInfoSupport::QueryInterface(REFIID iid, void** object) {
  return StandIn::QueryInterface(&outer_, iid, object);
}
ULONG ErrorInfoSupport::AddRef() { return StandIn::AddRef(&outer_); }
ULONG ErrorInfoSupport::Release() { return StandIn::Release(&outer_); }
HRESULT ErrorInfoSupport::InterfaceSupportsErrorInfo(REFIID iid) {
  return outer_.kind().implements(iid) ? S_OK : S_FALSE;
}

std::set<const StandIn*>& liveStandIns() {
  static std::set<const StandIn*> live;
  return live;
}

StandIn::StandIn(const Kind& kind, VARIANT held) : vtable_(kind.vtable.data()), kind_(kind), held(held) {
  ++aliveObjects;
  journal("create " + kind_.name);
  liveStandIns().insert(this);
}

StandIn::~StandIn() {
  liveStandIns().erase(this);
  journal("release " + kind_.name + " alive=" + std::to_string(--aliveObjects));
}

HRESULT StandIn::QueryInterface(StandIn* self, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  const Kind& kind = self->kind_;
  *object = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || kind.implements(iid))
    *object = self;
  else if (kind.reached == Reached::bySlot && IsEqualIID(iid, IID_ISupportErrorInfo))
    *object = static_cast<ISupportErrorInfo*>(&self->errors_);
  journal("query " + kind.name + " " + interfaceName(iid) + (*object != nullptr ? " yes" : " no"));
  if (*object == nullptr) return E_NOINTERFACE;
  AddRef(self);
  return S_OK;
}

ULONG StandIn::AddRef(StandIn* self) { return ++self->references_; }

ULONG StandIn::Release(StandIn* self) {
  const ULONG left = --self->references_;
  if (left == 0) delete self;
  return left;
}

HRESULT StandIn::GetTypeInfoCount(StandIn*, UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT StandIn::GetTypeInfo(StandIn* self, UINT, LCID, ITypeInfo** info) {
  if (info != nullptr) *info = nullptr;
  return self->unexpected("GetTypeInfo");
}

// A byName kind answers its members' names as a script host asks (IID_NULL, one name, the
// user's default locale), whatever their case.
HRESULT StandIn::GetIDsOfNames(StandIn* self, REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) {
  const Kind& kind = self->kind_;
  if (kind.reached != Reached::byName) {
    self->unexpected("GetIDsOfNames " + (count > 0 && names != nullptr ? utf8(names[0]) : ""));
    return DISP_E_UNKNOWNNAME;
  }
  if (names == nullptr || ids == nullptr || count == 0) return E_INVALIDARG;
  const std::string call = kind.name + ".GetIDsOfNames(\"" + utf8(names[0]) + "\")";
  const auto named = std::find_if(kind.members.begin(), kind.members.end(), [&](const Member& member) {
    return lstrcmpiW(names[0], wide(member.name).c_str()) == 0;
  });
  if (!IsEqualIID(iid, IID_NULL) || count != 1 || (locale != LOCALE_USER_DEFAULT && locale != 0) ||
      named == kind.members.end()) {
    journal("unexpected " + call + " count " + std::to_string(count) + " locale " + hex(locale));
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  journal("call " + call);
  const std::string point = kind.name + ".GetIDsOfNames";
  if (currentSteering().fails(point)) return failWithResult(point);
  *ids = named->id;
  return S_OK;
}

HRESULT StandIn::Invoke(StandIn* self, DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                        EXCEPINFO* exception, UINT*) {
  const bool early = self->kind_.reached == Reached::bySlot;  // Outlook is never reached late bound
  const Member* member = early ? nullptr : self->kind_.member(id);
  if (member == nullptr) {
    self->unexpected("Invoke dispid " + std::to_string(id) + (early ? "" : std::string(" ") + flagsText(flags)));
    return DISP_E_MEMBERNOTFOUND;
  }
  const bool named = parameters != nullptr && parameters->cNamedArgs != 0;
  return self->call(*member, flags, argumentsOf(parameters), named, result, exception);
}

HRESULT StandIn::CallSlot(StandIn* self, DISPID slot, std::initializer_list<void*> pointers) {
  const Member* member = self->kind_.reached == Reached::bySlot ? self->kind_.member(slot) : nullptr;
  if (member == nullptr || member->answer == nullptr)
    return self->unexpected((member != nullptr ? member->name + " " : "") + "slot " + std::to_string(slot));
  std::vector<VARIANT> arguments(member->arguments.size());
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    arguments[i].vt = VT_BSTR;
    arguments[i].bstrVal = static_cast<BSTR>(pointers.begin()[i]);
  }
  void* const out = member->returns != VT_EMPTY ? pointers.begin()[arguments.size()] : nullptr;
  VARIANT result{};  // stays empty on failure: the caller's pointer is cleared
  const HRESULT outcome = self->call(*member, 0, arguments, false, out != nullptr ? &result : nullptr, nullptr);
  if (out != nullptr && member->returns == VT_BSTR) *static_cast<BSTR*>(out) = result.bstrVal;
  if (out != nullptr && member->returns == VT_DISPATCH) *static_cast<IDispatch**>(out) = result.pdispVal;
  return outcome;
}

HRESULT StandIn::call(const Member& member, WORD flags, const std::vector<VARIANT>& arguments, bool namedArguments,
                      VARIANT* result, EXCEPINFO* exception) {
  const bool early = kind_.reached == Reached::bySlot;
  std::string line = kind_.name + "." + member.name + "(";
  for (std::size_t i = 0; i < arguments.size(); ++i) line += (i > 0 ? ", " : "") + describe(arguments[i]);
  line += ") " + (early ? "slot " + std::to_string(member.id) : flagsText(flags));
  bool typesMatch = !namedArguments && arguments.size() == member.arguments.size();
  for (std::size_t i = 0; typesMatch && i < arguments.size(); ++i) typesMatch = arguments[i].vt == member.arguments[i];
  if (flags != member.flags || !typesMatch) {
    journal("unexpected " + line);
    return flags != member.flags ? DISP_E_MEMBERNOTFOUND : DISP_E_TYPEMISMATCH;
  }
  journal("call " + line);
  if (early && member.returns != VT_EMPTY && result == nullptr) return E_POINTER;
  const Steering steering = currentSteering();
  if (!steering.fails(member.point) && member.answer(Request{*this, steering, arguments.data(), result})) return S_OK;
  return early ? failThroughErrorInfo(member.point, kind_.interfaces.front())
               : failThroughException(member.point, exception);
}

HRESULT StandIn::unexpected(const std::string& what) {
  journal("unexpected " + kind_.name + " " + what);
  return E_NOTIMPL;
}

bool handOut(const Kind& kind, VARIANT held, VARIANT* result) {
  StandIn* created = new StandIn(kind, held);
  if (result == nullptr) {
    StandIn::Release(created);
    return true;
  }
  VariantInit(result);
  result->vt = VT_DISPATCH;
  result->pdispVal = created->dispatch();  // the caller's reference
  return true;
}

HRESULT create(const Kind& kind, REFIID iid, void** object) {
  StandIn* created = new StandIn(kind);
  const HRESULT result = StandIn::QueryInterface(created, iid, object);
  StandIn::Release(created);
  return result;
}

}  // namespace orv::standins
