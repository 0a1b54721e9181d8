/*
 * Date editor: a date field (with the jQuery UI calendar when it is loaded)
 * and, when asked for, hour/minute/second fields. Its value is the text
 * "YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS", the form the server stores and
 * expects; an empty date gives the empty text.
 *
 *   var d = $('#d').kuiDateEditor({withTime: true, value: '2026-03-07 09:05:02',
 *                                   calendar: $.datepicker.regional['de']});
 *   d.value(); d.setValue(text); d.valid();
 */
(function (window, $) {
    'use strict';

    var kui = window.kui;

    var DATE = /^(\d{4})-(\d{2})-(\d{2})$/;

    // True for a real calendar date "YYYY-MM-DD".
    kui.isDate = function (text) {
        var m = DATE.exec(text);
        if (!m) return false;
        var d = new Date(+m[1], +m[2] - 1, +m[3]);
        return d.getFullYear() === +m[1] && d.getMonth() === +m[2] - 1 && d.getDate() === +m[3];
    };

    function numberField(max, cls, name) {
        return kui.el('input', { type: 'text', cls: 'kui-date-part ' + cls, maxlength: 2, size: 2,
            'data-max': max, inputmode: 'numeric', 'aria-label': name });
    }

    var DateEditor = kui.extend(kui.Widget, function DateEditor($el, options) {
        kui.Widget.call(this, $el);
        this.options = options;
        $el.empty().addClass('kui-date-editor');
        this.$date = kui.el('input', { type: 'text', cls: 'kui-date-day', maxlength: 10, size: 10,
            placeholder: 'YYYY-MM-DD', id: options.id, 'aria-label': options.label });
        $el.append(this.$date);
        if (options.withTime) {
            // options.partLabels: names of the hour, minute and second fields.
            var names = options.partLabels || ['hour', 'minute', 'second'];
            this.$h = numberField(23, 'kui-date-h', names[0]);
            this.$m = numberField(59, 'kui-date-m', names[1]);
            this.$s = numberField(59, 'kui-date-s', names[2]);
            $el.append(' ', this.$h, ':', this.$m, ':', this.$s);
        }
        // The calendar opens on demand, by its own button (options.pickLabel
        // names it), never by merely tabbing through the field, where it
        // would cover the controls that follow.
        if ($.datepicker) {
            this.$date.datepicker($.extend({}, options.calendar || {}, {
                dateFormat: 'yy-mm-dd', changeMonth: true, changeYear: true,
                showOn: 'button', buttonText: options.pickLabel || 'Calendar'
            }));
            this.$date.next('.ui-datepicker-trigger').addClass('kui-date-pick')
                .attr({ 'aria-label': options.pickLabel || 'Calendar', title: options.pickLabel || 'Calendar' }).text('');
        }
        this.setValue(options.value || '');
    }, {
        setValue: function (text) {
            text = kui.str(text);
            this.$date.val(text.substr(0, 10));
            if (this.options.withTime) {
                var t = text.substr(11).split(':');
                this.$h.val(t[0] || '00');
                this.$m.val(t[1] || '00');
                this.$s.val(t[2] || '00');
            }
        },
        // The time parts, each two digits, or null when one is not a number in range.
        timeParts: function () {
            var out = [];
            var ok = true;
            $.each([this.$h, this.$m, this.$s], function (i, $f) {
                var v = $.trim($f.val());
                var n = parseInt(v, 10);
                if (!/^\d{1,2}$/.test(v) || n > +$f.attr('data-max')) ok = false;
                out.push(kui.pad2(n));
            });
            return ok ? out : null;
        },
        valid: function () {
            var d = $.trim(this.$date.val());
            if (!this.options.withTime) return d === '' || kui.isDate(d);
            return kui.isDate(d) && this.timeParts() !== null;
        },
        value: function () {
            var d = $.trim(this.$date.val());
            if (!this.options.withTime || d === '') return d;
            var t = this.timeParts();
            return t ? d + ' ' + t.join(':') : d;
        },
        destroyContent: function () {
            if ($.datepicker) this.$date.datepicker('destroy');
            this.$el.empty();
        }
    });

    kui.inject('DateEditor', DateEditor);
})(window, jQuery);
