// Compiled once per document in the extension's own script world; evaluates
// to the helpers the DOM bridge calls. `resolve` maps a lower-case member name
// to its real spelling along the prototype chain (cached per prototype);
// `fire` dispatches the event an "on..." property stands for.
(() => {
  const names = new WeakMap();
  const resolve = (object, lower) => {
    for (let o = object; o !== null && o !== undefined; o = Object.getPrototypeOf(o)) {
      let map = names.get(o);
      if (map === undefined) {
        map = new Map();
        for (const key of Object.getOwnPropertyNames(o)) {
          const l = key.toLowerCase();
          if (!map.has(l)) map.set(l, key);
        }
        names.set(o, map);
      }
      const key = map.get(lower);
      if (key !== undefined) return key;
    }
    return null;
  };
  const mouse = /^(mouse|click$|dblclick$|contextmenu$)/;
  const fire = (element, name) => {
    let type = String(name).toLowerCase();
    if (type.startsWith("on")) type = type.slice(2);
    if (type === "" || typeof element.dispatchEvent !== "function") return false;
    const init = {bubbles: true, cancelable: true};
    const event = mouse.test(type) ? new MouseEvent(type, {...init, view: window})
                                   : new Event(type, init);
    return element.dispatchEvent(event);
  };

  // The page automation object's element lookup, walked here in one go. It
  // makes the reads the tool's own walk makes through the bridge, in the same
  // order and with the same meaning as DomWorld's Read and Call give them:
  // document.body, body.all, all.tags(tag) (without `all`,
  // body.getElementsByTagName(tag)), length once per pass, item(i) with
  // i a number, then type, and name, id, title only as far as needed. Returns
  // [element or null, ordinal], or null when a value turns up whose reading
  // the tool would make differently (the tool then walks through the bridge).
  const unsure = {};
  // A text reply carries at most this many UTF-8 bytes; a longer one is a
  // failed read, which the tool reads as an empty text.
  const maxText = 65536 - 64;
  const utf8Length = (s) => {
    let n = 0;
    for (let i = 0; i < s.length; ++i) {
      const c = s.charCodeAt(i);
      if (c < 0x80) n += 1;
      else if (c < 0x800) n += 2;
      else if ((c & 0xfc00) === 0xd800) { n += 4; ++i; }  // a pair: no lone ones get here
      else n += 3;
    }
    return n;
  };
  // The engine's UTF-8 form of a string stops at its first lone surrogate.
  const wellFormedPrefix = (s) => {
    if (s.isWellFormed()) return s;
    for (let i = 0; i < s.length; ++i) {
      const c = s.charCodeAt(i);
      if ((c & 0xfc00) === 0xd800 && (s.charCodeAt(i + 1) & 0xfc00) === 0xdc00) ++i;
      else if ((c & 0xf800) === 0xd800) return s.slice(0, i);
    }
    return s;
  };
  const isObject = (v) => Object(v) === v;
  // DomWorld::Read for any member but "all": the name as spelled, another
  // spelling only when that gives undefined; a throw is a failed read.
  const read = (object, name) => {
    try {
      let value = object[name];
      if (value === undefined) {
        const real = name in object ? name : resolve(object, name);
        if (typeof real !== "string") return undefined;
        value = object[real];
      }
      return value;
    } catch (e) {
      return undefined;
    }
  };
  const hasFunction = (object, name) => name in object && typeof object[name] === "function";
  // The object whose getElementsByTagName "tags" calls, for body.all.
  const allOf = (body) => {
    try {
      if (hasFunction(body, "getElementsByTagName")) {
        return isObject(body.getElementsByTagName("*")) ? body : undefined;
      }
    } catch (e) {
      return undefined;
    }
    const all = read(body, "all");
    return isObject(all) ? all : undefined;
  };
  const tagsOf = (root, tag) => {
    try {
      return hasFunction(root, "getElementsByTagName") ? root.getElementsByTagName(tag) : undefined;
    } catch (e) {
      return undefined;
    }
  };
  // Value::ToText of what the read gives.
  const text = (v) => {
    if (typeof v === "string") {
      const t = wellFormedPrefix(v);
      return t.length * 3 <= maxText || utf8Length(t) <= maxText ? t : "";
    }
    if (v === undefined || v === null || isObject(v)) return "";
    if (typeof v === "boolean") return v ? "true" : "false";
    if (typeof v === "number" && (v | 0) === v) return String(v);
    return unsure;
  };
  // Value::ToInt32: truncated toward zero, clamped, NaN as 0.
  const int32 = (v) => {
    if (typeof v === "number") {
      if (v !== v) return 0;
      return Math.max(-2147483648, Math.min(2147483647, Math.trunc(v)));
    }
    if (typeof v === "boolean") return v ? 1 : 0;
    if (v === undefined || v === null || isObject(v)) return 0;
    return unsure;
  };
  const fits = (s) => s.length * 3 <= maxText || utf8Length(s) <= maxText;
  // An element's member as the tool reads it: the value as read, through
  // `read` only when that gives undefined. Texts are mostly short and well
  // formed, and then they are what the tool reads.
  const memberText = (element, value, name) => {
    if (typeof value === "string" && value.length * 3 <= maxText && value.isWellFormed()) {
      return value;
    }
    const t = text(value === undefined ? read(element, name) : value);
    if (t === unsure) throw unsure;
    return t;
  };
  const walk = (document, typeList, identifier, skipCount, ordinal, position) => {
    // Whether a member is the identifier. A text that is not the identifier
    // reads as it only if it is longer and starts with it (a lone surrogate
    // cuts it) or reads as "" (too long).
    const hits = (element, value, name) => {
      if (value === identifier) return fits(value);
      if (typeof value === "string" && value.length <= identifier.length &&
          value.length * 3 <= maxText) {
        return false;
      }
      if (typeof value === "string" && identifier !== "" && !value.startsWith(identifier)) {
        return false;
      }
      return memberText(element, value, name) === identifier;
    };
    const passes = typeList.includes("button") ? ["input", "button"] : ["input"];
    for (const tag of passes) {
      const body = read(document, "body");
      const root = isObject(body) ? allOf(body) : undefined;
      // Without `all` the tool asks the body's own getElementsByTagName.
      const collection = isObject(body) ? tagsOf(root === undefined ? body : root, tag) : undefined;
      if (!isObject(collection)) continue;
      // What tags gives is a live HTMLCollection; anything else the tool
      // would have read member by member.
      if (!(collection instanceof HTMLCollection)) return null;
      const length = int32(read(collection, "length"));
      if (length === unsure) return null;
      for (let i = 0; i < length; ++i) {
        const element = collection.item(i);
        if (!isObject(element)) continue;  // an empty element: its type reads ""
        const type = memberText(element, element.type, "type");
        if (type === "" || !typeList.includes(type)) continue;
        ordinal = (ordinal + 1) | 0;
        if (hits(element, element.name, "name") || hits(element, element.id, "id") ||
            hits(element, element.title, "title")) {
          if (skipCount > 0) {
            --skipCount;
            continue;
          }
          return [element, ordinal];
        }
        if (ordinal === position) return [element, ordinal];
      }
    }
    return [null, -1];
  };
  // A throw from a member read (none of the members the walk reads throws on
  // an element) leaves the walk to the tool, where it is a failed read.
  const findElement = (...query) => {
    try {
      return walk(...query);
    } catch (e) {
      return null;
    }
  };
  return [resolve, fire, findElement];
})()
