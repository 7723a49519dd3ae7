// The ready page of buttons an operator drags onto a Stream Deck. `label` is the connection's
// label, which Companion's variable references start with.
import { COLORS } from './feedbacks.js'

function button(name, text, action, feedbacks = [], style = {}) {
	return {
		type: 'button',
		category: 'Show',
		name,
		style: { text, size: '18', color: COLORS.white, bgcolor: COLORS.grey, ...style },
		steps: [{ down: action ? [action] : [], up: [] }],
		feedbacks,
	}
}

const lit = (feedbackId, options, style) => ({ feedbackId, options, style })
const inPhase = (phase, style = { bgcolor: COLORS.green }) => lit('phase', { phase }, style)

export function presetDefinitions(label) {
	const variable = (name) => `$(${label}:${name})`
	return {
		start_standby: button(
			'Start standby',
			'STANDBY',
			{ actionId: 'start_standby', options: { length_s: 0, restart: false } },
			[inPhase('standby')],
		),
		go_main: button('Main', 'MAIN', { actionId: 'go_main', options: {} }, [inPhase('main')]),
		toggle_break: button('Break/Back', 'BREAK', { actionId: 'toggle_break', options: {} }, [
			inPhase('break', { text: 'BACK', bgcolor: COLORS.amber, color: COLORS.black }),
		]),
		start_ending: button('Ending', 'ENDING', { actionId: 'start_ending', options: {} }, [inPhase('ending')]),
		cancel: button('Cancel', 'CANCEL', { actionId: 'cancel', options: {} }, [], { bgcolor: COLORS.darkRed }),
		hold_toggle: button(
			'Hold/Resume',
			'HOLD',
			{ actionId: 'hold_toggle', options: { from: 'companion', reason: '' } },
			[lit('held', {}, { text: 'RESUME', bgcolor: COLORS.red })],
		),
		add_minute: button('+1:00', '+1:00', { actionId: 'add_time', options: { seconds: 60 } }),
		remove_minute: button('−1:00', '−1:00', { actionId: 'remove_time', options: { seconds: 60 } }),
		time_left: button(
			'Time left',
			`${variable('phase')}\n${variable('time_left')}`,
			null,
			[
				lit('time_below', { seconds: 60 }, { bgcolor: COLORS.amber, color: COLORS.black }),
				lit('time_below', { seconds: 10 }, { bgcolor: COLORS.red, color: COLORS.white }),
			],
			{ size: 'auto', bgcolor: COLORS.black },
		),
		arm_toggle: button('Arm/Disarm', 'ARM', { actionId: 'arm_toggle', options: { show_at: '', lead_s: '' } }, [
			lit('armed', {}, { text: `ARMED\n${variable('go_live_at')}`, bgcolor: COLORS.blue }),
		]),
	}
}
