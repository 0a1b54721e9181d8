/*
 * Base helpers of the administration UI's widget set.
 *
 * Everything lives in one global namespace, `kui`. This file holds what every
 * widget needs: HTML escaping, a small element builder, a minimal event
 * emitter that widgets inherit, and a helper to derive widget classes.
 * No widget may write untrusted text into the page except through kui.esc or
 * jQuery's .text(): names, notes and log entries come from other users.
 */
(function (window, $) {
    'use strict';

    var kui = window.kui || {};
    window.kui = kui;

    var ESC = { '&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;', "'": '&#39;' };

    // Text of any value, made safe for HTML element content and attributes.
    kui.esc = function (value) {
        if (value === null || value === undefined) return '';
        return String(value).replace(/[&<>"']/g, function (c) { return ESC[c]; });
    };

    // Text form of a value as the server compares it: null/undefined are empty.
    kui.str = function (value) {
        return (value === null || value === undefined) ? '' : String(value);
    };

    // The array itself, or an empty array for a list that the server sent as null.
    kui.list = function (value) {
        return $.isArray(value) ? value : [];
    };

    // Builds a jQuery element: kui.el('div', {cls: 'a', text: 'hi'}, [children]).
    // Recognised attributes: cls, text (escaped by jQuery), html (trusted markup
    // built by the UI itself), css (object), on (object of event handlers);
    // every other key becomes a DOM attribute.
    kui.el = function (tag, attrs, children) {
        var $e = $(document.createElement(tag));
        attrs = attrs || {};
        $.each(attrs, function (k, v) {
            if (v === undefined || v === null) return;
            if (k === 'cls') $e.addClass(v);
            else if (k === 'text') $e.text(v);
            else if (k === 'html') $e.html(v);
            else if (k === 'css') $e.css(v);
            else if (k === 'on') $.each(v, function (ev, fn) { $e.on(ev, fn); });
            else $e.attr(k, v);
        });
        $.each(children || [], function (i, c) {
            if (c !== null && c !== undefined) $e.append(c);
        });
        return $e;
    };

    // Minimal event emitter that widgets mix in.
    function Emitter() {}
    Emitter.prototype.on = function (name, fn) {
        this._handlers = this._handlers || {};
        (this._handlers[name] = this._handlers[name] || []).push(fn);
        return this;
    };
    Emitter.prototype.emit = function (name) {
        var args = Array.prototype.slice.call(arguments, 1);
        var list = (this._handlers && this._handlers[name]) || [];
        var self = this;
        $.each(list.slice(), function (i, fn) { fn.apply(self, args); });
        return this;
    };
    kui.Emitter = Emitter;

    // Derives a widget class: kui.extend(Parent, ctor, {methods}).
    kui.extend = function (Parent, ctor, methods) {
        ctor.prototype = Object.create(Parent.prototype);
        ctor.prototype.constructor = ctor;
        $.extend(ctor.prototype, methods || {});
        return ctor;
    };

    // Base of every widget: owns one root element (`this.$el`).
    kui.Widget = kui.extend(Emitter, function Widget($el) {
        this.$el = $el;
    }, {
        element: function () { return this.$el; },
        destroy: function () { this.$el.remove(); this._handlers = {}; }
    });

    // A fresh element id, for linking labels and names to their controls.
    var lastId = 0;
    kui.uid = function (prefix) { return (prefix || 'kui') + '-' + (++lastId); };

    // Two-digit zero padding for date and time parts.
    kui.pad2 = function (n) { return (n < 10 ? '0' : '') + n; };

    // "YYYY-MM-DD HH:MM:SS" of a Date in the browser's local time.
    kui.formatDateTime = function (d) {
        return d.getFullYear() + '-' + kui.pad2(d.getMonth() + 1) + '-' + kui.pad2(d.getDate()) +
            ' ' + kui.pad2(d.getHours()) + ':' + kui.pad2(d.getMinutes()) + ':' + kui.pad2(d.getSeconds());
    };
})(window, jQuery);
