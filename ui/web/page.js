// Form1 in the page: the window's handlers (a choice from the category list,
// Convert, Exit), the lists as WAI-ARIA editable comboboxes, the fault's
// alert dialog, the output box's copy, and window.tavrin for scripts. The
// controls, their places and texts, the category list's items (what the
// window's load puts there) and the catalogue come in index.html, which the
// build writes from the controls table and the catalogue, with this script
// inside; the conversion comes with the WebAssembly (tavrin.js), which may
// arrive a moment later.
'use strict';

(() => {
  const layout = JSON.parse(document.getElementById('layout').textContent);
  const $ = (id) => document.getElementById(id);
  const form = $('Form1');
  const output = $('picConverted');

  // --- the conversion module (tavrin.js: the core compiled to WebAssembly) ---

  let module = null;

  // Calls one of the module's functions with texts, each copied into its
  // memory for the call (a pasted megabyte included), and returns its text.
  function call(name, texts, ...numbers) {
    const pointers = texts.map((text) => {
      const size = module.lengthBytesUTF8(text) + 1;
      const at = module._malloc(size);
      module.stringToUTF8(text, at, size);
      return at;
    });
    try {
      return module.UTF8ToString(module['_' + name](...pointers, ...numbers));
    } finally {
      pointers.forEach((at) => module._free(at));
    }
  }

  // The module's script is added from here rather than written into the
  // page ahead of this script, which would then wait for it: the form's
  // handlers are attached at once and Convert converts as soon as the module
  // has arrived. A module that cannot arrive (tavrin.js missing, a browser
  // without WebAssembly) rejects, and Convert says so.
  const loaded = new Promise((resolve, reject) => {
    const script = document.createElement('script');
    script.src = 'tavrin.js';
    script.addEventListener('load', resolve);
    script.addEventListener('error', () => reject(new Error('tavrin.js did not load')));
    document.head.append(script);
  }).then(() => {
    if (typeof createTavrin !== 'function') throw new Error('tavrin.js holds no conversions');
    return createTavrin();
  }).then((m) => {
    module = m;
  });
  let failure = null;
  loaded.catch((error) => {
    failure = error;
    console.error(layout.caption + ' cannot convert:', error);
  });

  // The line the output box prints, or an Error named after the fault.
  function convert(valueText, from, to, exact) {
    const line = call('tavrin_convert', [String(valueText), String(from), String(to)], exact ? 1 : 0);
    const fault = call('tavrin_fault', []);
    if (fault) {
      const error = new Error(fault);
      error.name = fault;
      throw error;
    }
    return line;
  }

  // --- the lists: editable comboboxes ---

  // Each list is a text box (role combobox) with a button and a listbox of
  // options, all three named by the list's label; the button, out of the Tab
  // order, is there for touch screens' readers, which open the list with it.
  // Typing edits the text and nothing else; Alt+Down, Down, Up or the button
  // open the list; arrows move through it; Enter or a click chooses, which
  // is a choice from the list; Escape closes it.
  class List {
    constructor(id, onChoice) {
      this.input = $(id);
      this.button = this.input.nextElementSibling;
      this.box = $(id + '-items');
      this.onChoice = onChoice;
      this.active = -1;
      this.input.addEventListener('keydown', (e) => this.key(e));
      this.input.addEventListener('input', () => this.setActive(-1));
      this.input.addEventListener('blur', () => this.close());
      this.button.addEventListener('mousedown', (e) => {
        e.preventDefault(); // the focus stays in the text
        this.input.focus();
        if (this.isOpen()) this.close(); else this.open(this.current());
      });
      this.box.addEventListener('mousedown', (e) => e.preventDefault());
      this.box.addEventListener('click', (e) => {
        const option = e.target.closest('[role=option]');
        if (option) this.choose(this.options().indexOf(option));
      });
    }

    options() { return Array.from(this.box.children); }
    isOpen() { return !this.box.hidden; }

    // Replaces the items, and empties the text, as the window clears a list.
    fill(names) {
      this.close();
      this.input.value = '';
      this.box.replaceChildren(...names.map((name, i) => {
        const option = document.createElement('div');
        option.id = this.box.id + '-' + i;
        option.setAttribute('role', 'option');
        option.setAttribute('aria-selected', 'false');
        option.textContent = name;
        return option;
      }));
    }

    // The item whose text is the shown text, if any.
    current() { return this.options().findIndex((o) => o.textContent === this.input.value); }

    open(active) {
      if (this.options().length === 0) return;
      this.box.hidden = false;
      this.input.setAttribute('aria-expanded', 'true');
      this.button.setAttribute('aria-expanded', 'true');
      this.setActive(active);
    }

    close() {
      this.setActive(-1);
      this.box.hidden = true;
      this.input.setAttribute('aria-expanded', 'false');
      this.button.setAttribute('aria-expanded', 'false');
    }

    setActive(index) {
      const options = this.options();
      if (this.active >= 0 && options[this.active]) options[this.active].setAttribute('aria-selected', 'false');
      this.active = index;
      if (index >= 0 && options[index]) {
        options[index].setAttribute('aria-selected', 'true');
        options[index].scrollIntoView({ block: 'nearest' });
        this.input.setAttribute('aria-activedescendant', options[index].id);
      } else {
        this.input.removeAttribute('aria-activedescendant');
      }
    }

    choose(index) {
      const option = this.options()[index];
      if (!option) return;
      this.input.value = option.textContent;
      this.close();
      if (this.onChoice) this.onChoice();
    }

    key(e) {
      const count = this.options().length;
      if (e.key === 'ArrowDown' || e.key === 'ArrowUp') {
        e.preventDefault();
        if (e.altKey) {
          if (e.key === 'ArrowUp') this.close();
          else if (!this.isOpen()) this.open(this.current());
        } else if (!this.isOpen()) {
          this.open(e.key === 'ArrowDown' ? 0 : count - 1);
        } else if (count > 0) {
          const step = e.key === 'ArrowDown' ? 1 : -1;
          this.setActive(this.active < 0 ? (step > 0 ? 0 : count - 1) : Math.min(count - 1, Math.max(0, this.active + step)));
        }
      } else if (e.key === 'Enter' && this.isOpen() && this.active >= 0) {
        e.preventDefault();
        this.choose(this.active);
      } else if (e.key === 'Escape' && this.isOpen()) {
        e.preventDefault();
        e.stopPropagation();
        this.close();
      } else if (e.key === 'Tab') {
        this.close();
      }
    }
  }

  // --- the window's handlers ---

  // The unit lists of the category named exactly `name`; none for another text.
  function unitsOf(name) {
    const category = layout.catalogue.find(([n]) => n === name);
    return category ? { sources: category[1].slice(), targets: category[2].slice() } : { sources: [], targets: [] };
  }

  const cboType = new List('cboType', cboTypeClick);
  const cboOriginal = new List('cboOriginal');
  const cboConverted = new List('cboConverted');

  // A choice from the category list refills both unit lists, emptying their texts.
  function cboTypeClick() {
    const units = unitsOf(cboType.input.value);
    cboOriginal.fill(units.sources);
    cboConverted.fill(units.targets);
  }

  // Convert: clear the box, convert the texts as they stand, print the line;
  // a fault leaves the box empty and says so. Pressed before the
  // WebAssembly has arrived, it converts the texts of the moment as soon as
  // it has; if it cannot arrive, the dialog says that instead.
  function cmdConvertClick() {
    output.textContent = '';
    const texts = [$('txtOriginal').value, cboOriginal.input.value, cboConverted.input.value];
    const print = () => {
      try {
        output.textContent = convert(...texts);
      } catch (fault) {
        showFault(fault.message, layout.faults[fault.message] || '');
      }
    };
    const unavailable = () => showFault('Nothing can be converted: ' + layout.caption + "'s conversions did not load.",
      'Reload the page. If this happens again, the folder lacks tavrin.js or this browser does not run WebAssembly.');
    if (module) print(); else loaded.then(print, unavailable);
  }

  // Whether the page runs as an installed app, in a window of its own. Not
  // full screen: a browser tab in full screen reports that mode too.
  const installed = () => navigator.standalone === true ||
    ['standalone', 'minimal-ui', 'window-controls-overlay'].some((mode) => matchMedia(`(display-mode: ${mode})`).matches);

  // Exit: an installed app's window closes. A browser tab shows that Tavrin
  // has ended instead, even where the browser would let the page close it (a
  // tab with nothing before it in its history): the tab is the user's.
  function cmdExitClick() {
    if (installed()) {
      window.close();
      if (window.closed) return;
    }
    const ended = document.createElement('p');
    ended.id = 'ended';
    ended.append(layout.caption + ' has ended. ');
    const again = document.createElement('a');
    again.href = '';
    again.textContent = 'Start ' + layout.caption + ' again';
    ended.append(again);
    form.replaceWith(ended);
    again.focus();
  }

  function showFault(name, advice) {
    $('fault-name').textContent = name;
    $('fault-advice').textContent = advice;
    $('fault').showModal();
    $('fault-ok').focus();
  }

  // --- the output box: copy by Ctrl+C or its menu ---

  function copyLine() {
    const line = output.textContent;
    if (!line) return;
    if (navigator.clipboard && navigator.clipboard.writeText) {
      navigator.clipboard.writeText(line).catch(() => copyThroughSelection(line));
    } else {
      copyThroughSelection(line);
    }
  }

  function copyThroughSelection(line) {
    const put = (e) => {
      e.clipboardData.setData('text/plain', line);
      e.preventDefault();
    };
    document.addEventListener('copy', put, { once: true });
    document.execCommand('copy');
    document.removeEventListener('copy', put);
  }

  const menu = $('copy-menu');
  const copyItem = $('copy-item');

  function openMenu(x, y) {
    copyItem.textContent = layout.copy;
    copyItem.setAttribute('aria-disabled', output.textContent ? 'false' : 'true');
    menu.setAttribute('aria-label', output.getAttribute('aria-label'));
    menu.hidden = false;
    menu.style.left = Math.min(x, window.innerWidth - menu.offsetWidth) + 'px';
    menu.style.top = Math.min(y, window.innerHeight - menu.offsetHeight) + 'px';
    copyItem.focus();
  }

  function closeMenu() {
    if (menu.hidden) return;
    menu.hidden = true;
    output.focus();
  }

  // The letter a key with modifiers gives: the character typed where it is
  // a letter of the alphabet, else the letter the key bears on a US keyboard
  // (macOS types another character with Option held, a Cyrillic layout
  // another letter). Another layout's letters stay its own: Alt+J on a
  // Dvorak keyboard is J, wherever the key sits.
  const letterOf = (e) => (/^[a-z]$/i.test(e.key) ? e.key.toLowerCase()
    : e.code.startsWith('Key') ? e.code.slice(3).toLowerCase() : '');

  // Copy is Cmd+C on Apple's systems and Ctrl+C elsewhere, with no other
  // modifier: Ctrl+Shift+C stays the browser's.
  const apple = /^(Mac|iPhone|iPad|iPod)/.test(navigator.platform);
  output.addEventListener('keydown', (e) => {
    const command = apple ? e.metaKey && !e.ctrlKey : e.ctrlKey && !e.metaKey;
    if (command && !e.altKey && !e.shiftKey && letterOf(e) === 'c') {
      e.preventDefault();
      copyLine();
    }
  });
  output.addEventListener('contextmenu', (e) => {
    e.preventDefault();
    output.focus();
    const at = output.getBoundingClientRect();
    // The keyboard's menu key gives no place of its own: open at the box.
    openMenu(e.clientX || at.left, e.clientY || at.bottom);
  });
  copyItem.addEventListener('click', () => {
    if (copyItem.getAttribute('aria-disabled') === 'true') return;
    copyLine();
    closeMenu();
  });
  menu.addEventListener('keydown', (e) => {
    if (e.key === 'Escape' || e.key === 'Tab') {
      e.preventDefault();
      closeMenu();
    }
  });
  copyItem.addEventListener('blur', () => setTimeout(() => {
    if (document.activeElement !== copyItem) closeMenu();
  }));

  // --- keys of the whole form ---

  // Access keys from the buttons' captions (Alt+C, Alt+X), taken before the
  // browser sees them; Tab goes round the controls as in the window.
  const accessKeys = new Map();
  for (const button of form.querySelectorAll('button[aria-keyshortcuts]')) {
    accessKeys.set(button.getAttribute('aria-keyshortcuts').slice(-1).toLowerCase(), button);
  }
  document.addEventListener('keydown', (e) => {
    if ($('fault').open || !document.body.contains(form)) return;
    if (e.altKey && !e.ctrlKey && !e.metaKey && !e.shiftKey) {
      const letter = letterOf(e);
      if (accessKeys.has(letter)) {
        e.preventDefault();
        accessKeys.get(letter).click();
        return;
      }
    }
    if (e.key === 'Tab' && !e.altKey && !e.ctrlKey && !e.metaKey) {
      const stops = Array.from(form.querySelectorAll('input, button, [tabindex="0"]'));
      const first = stops[0];
      const last = stops[stops.length - 1];
      if (!e.shiftKey && document.activeElement === last) {
        e.preventDefault();
        first.focus();
      } else if (e.shiftKey && document.activeElement === first) {
        e.preventDefault();
        last.focus();
      }
    }
  }, true);

  $('cmdConvert').addEventListener('click', cmdConvertClick);
  $('cmdExit').addEventListener('click', cmdExitClick);
  // Enter presses no button of the form, as in the windows, where only Space
  // and the access keys do; a browser would press the focused one.
  for (const button of form.querySelectorAll('button')) {
    button.addEventListener('keydown', (e) => {
      if (e.key === 'Enter') e.preventDefault();
    });
  }

  // --- window.tavrin, for the console and for tests ---

  const needModule = () => {
    if (failure) throw new Error(layout.caption + ' cannot convert: ' + failure.message);
    if (!module) throw new Error(layout.caption + ' is still loading: await tavrin.ready');
  };
  window.tavrin = Object.freeze({
    /** Resolves once values can be converted. */
    ready: loaded,
    /** The line the output box prints for this conversion; throws an Error named after an arithmetic fault. */
    convert(valueText, from, to) { needModule(); return convert(valueText, from, to, false); },
    /** As convert, but the shortest text that reads back to the same double. */
    exact(valueText, from, to) { needModule(); return convert(valueText, from, to, true); },
    /** The 15 category names in the category list's order. */
    categories() { return layout.catalogue.map(([name]) => name); },
    /** The unit lists a category fills: { sources, targets } (empty for no category). */
    units(category) { return unitsOf(String(category)); },
  });

  // The focus starts on the first control, as in the window.
  $('cboType').focus();

  // Installable and offline where the browser allows it: the app's manifest
  // and the worker that keeps its files, over https or on localhost. A page
  // opened from disk needs neither.
  if (location.protocol === 'https:' || location.protocol === 'http:') {
    const manifest = document.createElement('link');
    manifest.rel = 'manifest';
    manifest.href = 'manifest.webmanifest';
    document.head.append(manifest);
    if ('serviceWorker' in navigator && window.isSecureContext) {
      navigator.serviceWorker.register('sw.js').catch(() => {});
    }
  }
})();
