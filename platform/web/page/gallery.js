// Runs the savers of a gallery page. Each <figure class="saver" data-saver="name">
// gets a module of that saver's program (create<Name>, inlined in the page) in
// the preview of its canvas: the canvas is the saver's screen, and the pointer
// crossing it ends nothing. A click on a canvas starts the same saver as the
// full-screen saver on a new canvas shown with the Fullscreen API; the page hands
// it keys, buttons, pointer moves and the loss of focus, and the saver's own close
// rules end it. Meanwhile the previews sleep.
//
// The page's address may carry:
//   seed=S      0..1117: the picture of the headless renderer's --seed S
//   frames=N    hold every saver still after its frame N
//   size=WxH    canvases of W x H pixels, whatever their size on the page
//   fps         show each saver's frame rate
//
// A preview says "Starting" until its picture first shows a lit pixel (amber and
// opal open on black while their ribbons grow in). Where the reader asks for
// reduced motion, a preview shows one still picture, its frame STILL_FRAME (or
// the page's frames=N, if earlier), with a button that starts it; full screen
// still animates, as the reader asked for it. Enter or Space on a focused
// canvas starts full screen as a click does.
'use strict';

(function () {
  const EVENT_KEY = 1, EVENT_BUTTON = 2, EVENT_MOVE = 3, EVENT_DEACTIVATE = 4, EVENT_RESIZE = 5;
  // Filled in from the program's own limits (platform/web/state.h) when the page is written.
  const MAX_SEED = @MAX_SEED@;
  const MAX_FRAMES = @MAX_FRAMES@;
  const STILL_FRAME = 600;
  const LIT_LEVEL = 24;     // a channel above this is a lit pixel
  const LIT_CHECK_MS = 200; // how often a starting preview's picture is read

  const notice = document.querySelector('.notice');
  const notes = [];
  function note(text) {
    notes.push(text);
    notice.textContent = notes.join(' ');
    notice.hidden = false;
  }

  function readSettings() {
    const query = new URLSearchParams(location.search);
    const settings = { seed: null, frames: null, size: null, fps: query.has('fps') && query.get('fps') !== '0' };
    const whole = /^[0-9]{1,9}$/;
    if (query.has('seed')) {
      const seed = query.get('seed');
      if (whole.test(seed) && Number(seed) <= MAX_SEED) settings.seed = Number(seed);
      else note('The seed must be a whole number from 0 to ' + MAX_SEED + '; "' + seed + '" is not, so the clock seeds the savers.');
    }
    if (query.has('frames')) {
      const frames = query.get('frames');
      if (whole.test(frames) && Number(frames) >= 1 && Number(frames) <= MAX_FRAMES) settings.frames = Number(frames);
      else note('frames must be a whole number from 1 to ' + MAX_FRAMES + '; "' + frames + '" is not, so the savers run on.');
    }
    if (query.has('size')) {
      const size = /^([0-9]{2,4})x([0-9]{2,4})$/.exec(query.get('size'));
      if (size && size.slice(1).every((v) => v >= 16 && v <= 4096)) settings.size = [Number(size[1]), Number(size[2])];
      else note('size must be WxH with each side from 16 to 4096 pixels; "' + query.get('size') + '" is not, so the canvases take their size on the page.');
    }
    return settings;
  }

  function hasWebGL() {
    try {
      const context = document.createElement('canvas').getContext('webgl');
      if (!context) return false;
      const lose = context.getExtension('WEBGL_lose_context');
      if (lose) lose.loseContext();
      return true;
    } catch (e) {
      return false;
    }
  }

  function factoryOf(name) {
    return window['create' + name.charAt(0).toUpperCase() + name.slice(1)];
  }

  function pixelSize(canvas) {
    const ratio = window.devicePixelRatio || 1;
    return [Math.max(16, Math.round(canvas.clientWidth * ratio)), Math.max(16, Math.round(canvas.clientHeight * ratio))];
  }

  // One saver's program on one canvas; `arguments` as platform/web/main.cpp reads them.
  function run(name, canvas, args, hooks) {
    const module = {
      canvas: canvas,
      arguments: args,
      pageEvents: [],
      asleep: false,
      framesPresented: 0,
      onFrame: hooks.onFrame || function () {},
      onMessage: hooks.onMessage,
      onSaverEnd: hooks.onSaverEnd,
      onAbort: hooks.onAbort,
      print: function () {},
      printErr: function (text) { console.debug(name + ': ' + text); },
    };
    factoryOf(name)(module);
    return module;
  }

  function runArguments(mode) {
    const args = [mode];
    if (settings.seed !== null) args.push('--seed', String(settings.seed));
    if (settings.frames !== null) args.push('--frames', String(settings.frames));
    return args;
  }

  const settings = readSettings();
  const reducedMotion = window.matchMedia && window.matchMedia('(prefers-reduced-motion: reduce)').matches;
  const views = [];
  let fullScreen = null;
  let pointer = null; // the pointer on the screen, once the page has seen it

  function setState(view, state) {
    view.state = state;
    view.canvas.dataset.state = state;
  }

  // A line over the preview's corner while it has nothing to show yet.
  function setStatus(view, text) {
    view.status.textContent = text;
    view.status.hidden = !text;
  }

  function isLit(canvas) {
    const gl = canvas.getContext('webgl');
    if (!gl) return false;
    const size = canvas.width * canvas.height * 4;
    if (!isLit.pixels || isLit.pixels.length < size) isLit.pixels = new Uint8Array(size);
    const pixels = isLit.pixels;
    gl.readPixels(0, 0, canvas.width, canvas.height, gl.RGBA, gl.UNSIGNED_BYTE, pixels);
    for (let i = 0; i < size; i += 4) {
      if (pixels[i] > LIT_LEVEL || pixels[i + 1] > LIT_LEVEL || pixels[i + 2] > LIT_LEVEL) return true;
    }
    return false;
  }

  function setPaused(view, paused) {
    view.paused = paused;
    view.module.asleep = paused || fullScreen !== null;
    view.play.textContent = paused ? 'Play' : 'Pause';
    view.play.setAttribute('aria-pressed', paused ? 'false' : 'true');
  }

  // Reduced motion: the still picture is drawn out of sight, then shown paused.
  function startStill(view) {
    view.stillAt = settings.frames !== null ? Math.min(settings.frames, STILL_FRAME) : STILL_FRAME;
    view.figure.classList.add('drawing-still');
    setStatus(view, 'Drawing a still picture\u2026');
    view.play = document.createElement('button');
    view.play.type = 'button';
    view.play.className = 'play';
    view.play.hidden = true;
    view.play.addEventListener('click', function () { setPaused(view, !view.paused); });
    view.corner.appendChild(view.play);
  }

  function onPreviewFrame(view, frames, held) {
    if (view.state === 'starting') setState(view, 'running');
    if (held) {
      view.canvas.dataset.frames = frames;
      setState(view, 'held');
      if (view.play) view.play.hidden = true;
    }
    if (view.stillAt) {
      if (frames < view.stillAt && !held) return;
      view.stillAt = 0;
      view.figure.classList.remove('drawing-still');
      setStatus(view, '');
      view.canvas.dataset.frames = frames;
      if (!held) {
        setState(view, 'still');
        setPaused(view, true);
        view.play.hidden = false;
      }
      return;
    }
    // Read back only now and then: a read waits for the frame to finish.
    const now = performance.now();
    if (view.status.hidden || now - view.litCheckedAt < LIT_CHECK_MS) return;
    view.litCheckedAt = now;
    if (isLit(view.canvas)) setStatus(view, '');
  }

  function startPreview(figure) {
    const name = figure.dataset.saver;
    const canvas = figure.querySelector('canvas');
    const view = {
      name: name, figure: figure, canvas: canvas, module: null, state: 'starting', fps: null, pressed: false,
      status: document.createElement('p'), stillAt: 0, paused: false, play: null, litCheckedAt: -Infinity,
      // Where the status line and the play button go: over the canvas's corner on
      // the index, in the caption where the saver fills the page.
      corner: document.body.classList.contains('single') ? figure.querySelector('figcaption') : figure,
    };
    const size = settings.size || pixelSize(canvas);
    canvas.width = size[0];
    canvas.height = size[1];
    canvas.tabIndex = 0;
    setState(view, 'starting');
    view.status.className = 'status';
    view.status.setAttribute('role', 'status');
    view.corner.appendChild(view.status);
    setStatus(view, 'Starting\u2026');
    if (reducedMotion) startStill(view);
    view.module = run(name, canvas, runArguments('preview'), {
      onFrame: function (frames, held) { onPreviewFrame(view, frames, held); },
      onMessage: function (caption, text) { showMessage(view, caption, text); },
      onSaverEnd: function () { setState(view, 'ended'); },
      onAbort: function (what) {
        setState(view, 'failed');
        setStatus(view, '');
        showMessage(view, name, 'stopped: ' + what);
      },
    });
    if (!settings.size && window.ResizeObserver) {
      new ResizeObserver(function () {
        const next = pixelSize(canvas);
        if (next[0] === canvas.width && next[1] === canvas.height) return;
        canvas.width = next[0];
        canvas.height = next[1];
        view.module.pageEvents.push({ kind: EVENT_RESIZE, a: next[0], b: next[1] });
      }).observe(canvas);
    }
    // Only a click that began on this canvas: the release of the click that ended a
    // full-screen saver lands here too, and must not start it again.
    canvas.addEventListener('mousedown', function () { view.pressed = true; });
    canvas.addEventListener('click', function (event) {
      if (view.pressed) openFullScreen(view, { cursor: [event.screenX, event.screenY] });
      view.pressed = false;
    });
    // A held key repeats: only its first press starts the saver.
    canvas.addEventListener('keydown', function (event) {
      if (event.repeat || (event.key !== 'Enter' && event.key !== ' ')) return;
      event.preventDefault();
      openFullScreen(view, { cursor: pointer, key: event.code });
    });
    if (settings.fps) {
      view.fps = document.createElement('span');
      view.fps.className = 'fps';
      view.fps.textContent = 'FPS: --';
      figure.appendChild(view.fps);
    }
    views.push(view);
  }

  function showMessage(view, caption, text) {
    let line = view.figure.querySelector('.message');
    if (!line) {
      line = document.createElement('p');
      line.className = 'message';
      view.figure.querySelector('figcaption').appendChild(line);
    }
    line.textContent = (caption ? caption + ': ' : '') + text;
  }

  function setPreviewsAsleep(asleep) {
    for (const view of views) view.module.asleep = asleep || view.paused;
  }

  // The full-screen saver's input, as the page sees it. The key that started the
  // saver is not input to it: neither its repeats nor its release.
  const fullScreenInput = {
    keydown: function (event) {
      event.preventDefault();
      if (fullScreen && fullScreen.startKey === event.code) return;
      push({ kind: EVENT_KEY, a: event.keyCode || 0 });
    },
    keyup: function (event) {
      if (fullScreen && fullScreen.startKey === event.code) fullScreen.startKey = null;
    },
    mousedown: function (event) {
      event.preventDefault();
      push({ kind: EVENT_BUTTON, a: event.button === 2 ? 1 : event.button === 1 ? 2 : 0 });
    },
    // Started from the keyboard before the page saw the pointer, the saver's screen
    // is placed so that the pointer's first position is where it started.
    mousemove: function (event) {
      if (!fullScreen) return;
      if (!fullScreen.origin) fullScreen.origin = [Math.round(event.screenX), Math.round(event.screenY)];
      push({ kind: EVENT_MOVE, a: Math.round(event.screenX) - fullScreen.origin[0], b: Math.round(event.screenY) - fullScreen.origin[1] });
    },
    contextmenu: function (event) { event.preventDefault(); },
    // The window's own blur; an element's (the focused canvas) comes here too.
    blur: function (event) { if (event.target === window) push({ kind: EVENT_DEACTIVATE }); },
    visibilitychange: function () { if (document.hidden) push({ kind: EVENT_DEACTIVATE }); },
    fullscreenchange: function () {
      if (fullScreen && fullScreen.shown && !document.fullscreenElement) push({ kind: EVENT_DEACTIVATE });
      if (fullScreen && document.fullscreenElement === fullScreen.layer) fullScreen.shown = true;
    },
  };
  function push(event) {
    if (fullScreen && fullScreen.module) fullScreen.module.pageEvents.push(event);
  }
  function listen(on) {
    for (const type in fullScreenInput) {
      const target = type === 'blur' ? window : document;
      if (on) target.addEventListener(type, fullScreenInput[type], true);
      else target.removeEventListener(type, fullScreenInput[type], true);
    }
  }

  // start.cursor: the pointer on the screen, or null where the page has not seen it;
  // start.key: the code of the key that started it, if one did.
  function openFullScreen(view, start) {
    if (fullScreen) return;
    const layer = document.createElement('div');
    layer.className = 'full-screen';
    const canvas = document.createElement('canvas');
    layer.appendChild(canvas);
    document.body.appendChild(layer);
    const origin = start.cursor ? [0, 0] : null;
    fullScreen = { view: view, layer: layer, canvas: canvas, module: null, shown: false, startKey: start.key || null, origin: origin };
    setPreviewsAsleep(true);
    listen(true);
    let request = null;
    try {
      if (layer.requestFullscreen) request = layer.requestFullscreen();
    } catch (e) {
      request = null;
    }
    // Refused or not offered: the saver covers the window instead, with the same rules.
    Promise.resolve(request)
      .catch(function () {})
      .then(function () {
        const size = pixelSize(canvas);
        canvas.width = size[0];
        canvas.height = size[1];
        const args = runArguments('full-screen');
        const cursor = start.cursor || [0, 0];
        args.push('--cursor', Math.round(cursor[0]) + ',' + Math.round(cursor[1]));
        layer.dataset.state = 'running';
        fullScreen.module = run(view.name, canvas, args, {
          onFrame: function (frames) { layer.dataset.frames = frames; },
          onMessage: function (caption, text) { showMessage(view, caption, text); },
          onSaverEnd: closeFullScreen,
          onAbort: function (what) {
            showMessage(view, view.name, 'stopped: ' + what);
            closeFullScreen();
          },
        });
      });
  }

  function closeFullScreen() {
    if (!fullScreen) return;
    const ending = fullScreen;
    fullScreen = null;
    listen(false);
    if (document.fullscreenElement === ending.layer && document.exitFullscreen) document.exitFullscreen().catch(function () {});
    const context = ending.canvas.getContext('webgl');
    const lose = context && context.getExtension('WEBGL_lose_context');
    if (lose) lose.loseContext();
    ending.layer.remove();
    setPreviewsAsleep(false);
  }

  function showWebGLMissing(figure) {
    const canvas = figure.querySelector('canvas');
    const missing = document.createElement('div');
    missing.className = 'missing';
    missing.textContent = 'No WebGL here: ' + figure.dataset.saver + ' cannot draw.';
    canvas.replaceWith(missing);
  }

  function updateFrameRates(last) {
    const now = performance.now();
    for (const view of views) {
      const frames = view.module.framesPresented || 0;
      const before = last.get(view) || { frames: frames, at: now };
      if (view.fps && now > before.at) {
        const rate = ((frames - before.frames) * 1000) / (now - before.at);
        view.fps.textContent = 'FPS: ' + rate.toFixed(1);
      }
      view.canvas.dataset.frames = frames;
      last.set(view, { frames: frames, at: now });
    }
  }

  document.addEventListener('mousemove', function (event) { pointer = [event.screenX, event.screenY]; }, { passive: true });

  const figures = document.querySelectorAll('figure.saver[data-saver]');
  if (!hasWebGL()) {
    note('This browser has WebGL switched off or lacks it, and the savers draw with WebGL: turn it on, or try another browser, to see them run.');
    figures.forEach(showWebGLMissing);
    document.body.dataset.webgl = 'missing';
  } else {
    figures.forEach(startPreview);
    const last = new Map();
    setInterval(function () { updateFrameRates(last); }, 1000);
  }
  window.saverPage = { views: views, settings: settings };
})();
