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

  return [resolve, fire];
})()
