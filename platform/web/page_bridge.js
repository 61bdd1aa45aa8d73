// The page's side of the web backend (declared in page_bridge.h), linked into each
// module with --js-library. The page (gallery.js) gives each module its canvas
// and these fields of its Module object:
//   pageEvents   events for the saver, oldest first ({kind, a, b}, kinds as in page_bridge.h)
//   asleep       true while the page wants no frames from this saver
//   onFrame(frames, held), onMessage(caption, text), onSaverEnd(code)
// Also here, beside the emulation's state it saves: its part of the attribute
// stack, which Emscripten's legacy GL emulation lacks.

mergeInto(LibraryManager.library, {
  web_take_event: function (record) {
    var events = Module['pageEvents'];
    if (!events || events.length == 0) return 0;
    var event = events.shift();
    HEAP32[record >> 2] = event.kind;
    HEAP32[(record >> 2) + 1] = event.a | 0;
    HEAP32[(record >> 2) + 2] = event.b | 0;
    return 1;
  },

  web_canvas_width: function () {
    return Module['canvas'].width;
  },

  web_canvas_height: function () {
    return Module['canvas'].height;
  },

  web_display_asleep: function () {
    return Module['asleep'] || document.hidden ? 1 : 0;
  },

  web_set_cursor_hidden: function (hidden) {
    Module['canvas'].style.cursor = hidden ? 'none' : '';
  },

  // Made as Browser.createContext makes it, without Browser.init: that one adds
  // listeners to the document that would keep this module alive after its run
  // ends (a page makes a module per full-screen run).
  web_create_context__deps: ['$Browser', '$GL'],
  web_create_context: function () {
    // Desktop GL's defaults where WebGL's differ: no alpha in the picture, no
    // multisampling; and the picture kept between frames, which the fade needs.
    var attributes = {
      alpha: false,
      depth: true,
      stencil: false,
      antialias: false,
      premultipliedAlpha: false,
      preserveDrawingBuffer: true,
      majorVersion: 1,
      minorVersion: 0,
    };
    var context = GL.createContext(Module['canvas'], attributes);
    if (!context) return 0;
    GL.makeContextCurrent(context);
    Module.ctx = GLctx;
    Module.useWebGL = true;
    // The legacy GL emulation sets itself up here (GLImmediate.init).
    Browser.moduleContextCreatedCallbacks.forEach(function (callback) { callback(); });
    return context;
  },

  web_make_current__deps: ['$GL'],
  web_make_current: function (context) {
    return GL.makeContextCurrent(context) ? 1 : 0;
  },

  web_delete_context__deps: ['$GL'],
  web_delete_context: function (context) {
    if (GL.contexts[context]) GL.deleteContext(context);
  },

  web_frame_presented: function (frames, held) {
    Module['framesPresented'] = frames;
    if (Module['onFrame']) Module['onFrame'](frames, held != 0);
  },

  web_show_message: function (caption, text) {
    caption = UTF8ToString(caption);
    text = UTF8ToString(text);
    if (Module['onMessage']) Module['onMessage'](caption, text);
    else err(caption + ': ' + text);
  },

  web_saver_ended: function (code) {
    if (Module['onSaverEnd']) Module['onSaverEnd'](code);
  },

  // The emulation's part of an attribute-stack entry (gl_gaps.cpp keeps the
  // depth, the current colour and texture coordinate): the enables of blending,
  // depth test, face culling and 2D texturing, the blend factors, the matrix mode.
  $webGlStates: {depth: 0, records: []},

  web_push_gl_state__deps: ['$webGlStates', '$GLImmediate'],
  web_push_gl_state: function () {
    var r = webGlStates.records[webGlStates.depth];
    if (!r) r = webGlStates.records[webGlStates.depth] = {};
    webGlStates.depth++;
    var texEnv = GLImmediate.TexEnvJIT;
    r.blend = GLctx.isEnabled(GLctx.BLEND);
    r.depthTest = GLctx.isEnabled(GLctx.DEPTH_TEST);
    r.cullFace = GLctx.isEnabled(GLctx.CULL_FACE);
    r.texture2D = texEnv.getTexUnitType(texEnv.getActiveTexture()) == 0xDE1;
    r.blendSrcRgb = GLctx.getParameter(GLctx.BLEND_SRC_RGB);
    r.blendDstRgb = GLctx.getParameter(GLctx.BLEND_DST_RGB);
    r.blendSrcAlpha = GLctx.getParameter(GLctx.BLEND_SRC_ALPHA);
    r.blendDstAlpha = GLctx.getParameter(GLctx.BLEND_DST_ALPHA);
    r.matrix = GLImmediate.currentMatrix;
  },

  $webSetEnabled__deps: ['emscripten_glEnable', 'emscripten_glDisable'],
  $webSetEnabled: function (cap, on) {
    if (on) _emscripten_glEnable(cap);
    else _emscripten_glDisable(cap);
  },

  web_pop_gl_state__deps: ['$webGlStates', '$webSetEnabled', 'emscripten_glBlendFuncSeparate', 'emscripten_glMatrixMode'],
  web_pop_gl_state: function () {
    var r = webGlStates.records[--webGlStates.depth];
    webSetEnabled(0xBE2 /* GL_BLEND */, r.blend);
    webSetEnabled(0xB71 /* GL_DEPTH_TEST */, r.depthTest);
    webSetEnabled(0xB44 /* GL_CULL_FACE */, r.cullFace);
    webSetEnabled(0xDE1 /* GL_TEXTURE_2D */, r.texture2D);
    _emscripten_glBlendFuncSeparate(r.blendSrcRgb, r.blendDstRgb, r.blendSrcAlpha, r.blendDstAlpha);
    _emscripten_glMatrixMode(r.matrix < 2 ? 0x1700 + r.matrix : 0x1702 /* GL_TEXTURE */);
  },
});
